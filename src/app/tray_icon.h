#pragma once
// The program's icon in the notification area, with its pop-up menu. The icon stays from
// start-up to the end of the program; when the shell re-creates the taskbar (Explorer
// restarted) the icon is added again.

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "platform/gdi_handles.h"

namespace kestrova {

class TrayIcon {
public:
    // What the user asked for through the icon.
    enum class Request { None, Restore, ShowMenu };

    TrayIcon() = default;
    ~TrayIcon() { Remove(); }
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // The icon sends callbackMessage to owner; returns whether the shell took the icon.
    bool Add(HWND owner, UINT callbackMessage, HICON icon, const std::wstring& tip);
    void Remove();
    // Whether the shell holds the icon now, as far as this program knows.
    bool Visible() const { return visible_; }

    // The message the shell broadcasts once it has re-created the taskbar.
    static UINT TaskbarCreatedMessage();
    // Puts the icon back after the taskbar was re-created; returns whether the shell took it.
    bool Readd();

    // Reads the icon's callback message: a double click restores, a right click opens the menu.
    static Request Interpret(LPARAM lparam);

    // Set by the close box, cleared when the window comes back: minimising then hides the
    // window into the notification area as the close box does.
    bool MinimizeToTray() const { return minimizeToTray_; }
    void SetMinimizeToTray(bool on) { minimizeToTray_ = on; }

private:
    NOTIFYICONDATAW Data() const;

    HWND owner_ = nullptr;
    UINT callbackMessage_ = 0;
    HICON icon_ = nullptr;
    std::wstring tip_;
    bool added_ = false;  // Add was called and Remove was not
    bool visible_ = false;
    bool minimizeToTray_ = false;
};

// PopupMenu1: "Kestrova PC Optimizer" (the default item) and "Exit".
class TrayMenu {
public:
    static constexpr UINT kRestoreCommand = 0x7101;  // KestrovaPCOptimizer1
    static constexpr UINT kExitCommand = 0x7102;     // Exit1

    TrayMenu();
    HMENU Handle() const { return menu_.Get(); }
    // Opens the menu at the cursor; the chosen item arrives at owner as WM_COMMAND.
    void Show(HWND owner) const;

private:
    UniqueMenu menu_;
};

}  // namespace kestrova
