#pragma once
// Sets an environment variable of this process for one test and puts the old value back.

#include <windows.h>

#include <optional>
#include <string>

namespace kestrova::test {

class ScopedEnvironment {
public:
    ScopedEnvironment(std::wstring name, const std::wstring& value) : name_(std::move(name)) {
        const DWORD size = GetEnvironmentVariableW(name_.c_str(), nullptr, 0);
        if (size > 0) {
            std::wstring old(size, L'\0');
            const DWORD length = GetEnvironmentVariableW(name_.c_str(), old.data(), size);
            if (length < size) {
                old.resize(length);
                old_ = std::move(old);
            }
        }
        SetEnvironmentVariableW(name_.c_str(), value.c_str());
    }
    ~ScopedEnvironment() { SetEnvironmentVariableW(name_.c_str(), old_ ? old_->c_str() : nullptr); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::wstring name_;
    std::optional<std::wstring> old_;
};

}  // namespace kestrova::test
