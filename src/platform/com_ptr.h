#pragma once
// A small owner of one COM interface pointer (MinGW has no WRL or ATL).

#include <windows.h>
#include <unknwn.h>

#include <utility>

namespace kestrova {

template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(const ComPtr& other) : ptr_(other.ptr_) { AddRefHeld(); }
    ComPtr(ComPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
    ~ComPtr() { Reset(); }

    ComPtr& operator=(const ComPtr& other) {
        if (ptr_ != other.ptr_) {
            ComPtr copy(other);
            std::swap(ptr_, copy.ptr_);
        }
        return *this;
    }
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            Reset();
            ptr_ = std::exchange(other.ptr_, nullptr);
        }
        return *this;
    }

    // Takes over a reference the caller already owns.
    static ComPtr Attach(T* ptr) {
        ComPtr result;
        result.ptr_ = ptr;
        return result;
    }

    T* Get() const { return ptr_; }
    T* operator->() const { return ptr_; }
    explicit operator bool() const { return ptr_ != nullptr; }

    void Reset() {
        if (ptr_ != nullptr) {
            std::exchange(ptr_, nullptr)->Release();
        }
    }
    // For APIs that return a new reference through an out-parameter; any old one is released.
    T** Put() {
        Reset();
        return &ptr_;
    }

    // QueryInterface for another interface of the same object; empty when it has none.
    template <typename U>
    ComPtr<U> As(const IID& iid) const {
        ComPtr<U> result;
        if (ptr_ != nullptr) {
            void* raw = nullptr;
            if (SUCCEEDED(ptr_->QueryInterface(iid, &raw))) {
                result = ComPtr<U>::Attach(static_cast<U*>(raw));
            }
        }
        return result;
    }

private:
    void AddRefHeld() {
        if (ptr_ != nullptr) {
            ptr_->AddRef();
        }
    }

    T* ptr_ = nullptr;
};

}  // namespace kestrova
