#pragma once
// An owned BSTR, for passing text to COM interfaces and taking it back.

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <utility>

namespace kestrova {

class Bstr {
public:
    Bstr() = default;
    explicit Bstr(const std::wstring& text)
        : value_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    ~Bstr() { SysFreeString(value_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    Bstr(Bstr&& other) noexcept : value_(std::exchange(other.value_, nullptr)) {}
    Bstr& operator=(Bstr&& other) noexcept {
        if (this != &other) {
            SysFreeString(std::exchange(value_, std::exchange(other.value_, nullptr)));
        }
        return *this;
    }

    BSTR Get() const { return value_; }
    // For APIs that return a new string through an out-parameter; any old one is freed.
    BSTR* Put() {
        SysFreeString(std::exchange(value_, nullptr));
        return &value_;
    }
    // A null BSTR is the empty text.
    std::wstring Text() const {
        return value_ != nullptr ? std::wstring(value_, SysStringLen(value_)) : std::wstring();
    }

private:
    BSTR value_ = nullptr;
};

}  // namespace kestrova
