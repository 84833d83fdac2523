#include "app/tray_icon.h"

#include <shellapi.h>

#include <iterator>

namespace kestrova {

NOTIFYICONDATAW TrayIcon::Data() const {
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof(data);
    data.hWnd = owner_;
    data.uID = 1;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = callbackMessage_;
    data.hIcon = icon_;
    tip_.copy(data.szTip, std::size(data.szTip) - 1);
    return data;
}

bool TrayIcon::Add(HWND owner, UINT callbackMessage, HICON icon, const std::wstring& tip) {
    owner_ = owner;
    callbackMessage_ = callbackMessage;
    icon_ = icon;
    tip_ = tip;
    added_ = true;
    NOTIFYICONDATAW data = Data();
    visible_ = Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
    return visible_;
}

void TrayIcon::Remove() {
    if (!added_) {
        return;
    }
    NOTIFYICONDATAW data = Data();
    data.uFlags = 0;
    Shell_NotifyIconW(NIM_DELETE, &data);
    added_ = false;
    visible_ = false;
}

UINT TrayIcon::TaskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

bool TrayIcon::Readd() {
    if (!added_) {
        return false;
    }
    NOTIFYICONDATAW data = Data();
    visible_ = Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
    return visible_;
}

TrayIcon::Request TrayIcon::Interpret(LPARAM lparam) {
    switch (LOWORD(lparam)) {
        case WM_LBUTTONDBLCLK:
            return Request::Restore;
        case WM_RBUTTONUP:
        case WM_CONTEXTMENU:
            return Request::ShowMenu;
        default:
            return Request::None;
    }
}

TrayMenu::TrayMenu() : menu_(CreatePopupMenu()) {
    AppendMenuW(menu_.Get(), MF_STRING, kRestoreCommand, L"Kestrova PC Optimizer");
    AppendMenuW(menu_.Get(), MF_STRING, kExitCommand, L"Exit");
    SetMenuDefaultItem(menu_.Get(), kRestoreCommand, FALSE);
}

void TrayMenu::Show(HWND owner) const {
    POINT at = {};
    GetCursorPos(&at);
    // The menu closes when the user clicks elsewhere only if the owner is in the foreground.
    SetForegroundWindow(owner);
    TrackPopupMenu(menu_.Get(), TPM_RIGHTBUTTON | TPM_BOTTOMALIGN, at.x, at.y, 0, owner, nullptr);
    PostMessageW(owner, WM_NULL, 0, 0);
}

}  // namespace kestrova
