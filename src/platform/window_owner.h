#pragma once
// The window procedure of a class that owns one window of its own class. The object passed as
// the last argument of CreateWindowExW receives every message of that window through its
//   LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam)
// and has its `HWND hwnd_` set from WM_NCCREATE on; once WM_NCDESTROY comes, the object no
// longer answers for the window and hwnd_ is null again. The owner keeps both private and
// names OwnerWindowProc<Owner> its friend.

#include <windows.h>

namespace kestrova {

template <typename Owner>
LRESULT CALLBACK OwnerWindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        auto* owner = static_cast<Owner*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
        owner->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
    }
    auto* owner = reinterpret_cast<Owner*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!owner) {
        // A few messages come before WM_NCCREATE (WM_GETMINMAXINFO).
        return DefWindowProcW(hwnd, message, wparam, lparam);
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        owner->hwnd_ = nullptr;
        return DefWindowProcW(hwnd, message, wparam, lparam);
    }
    return owner->HandleMessage(message, wparam, lparam);
}

}  // namespace kestrova
