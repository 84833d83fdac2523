#pragma once
// Routes the notifications a window receives from its child controls to the handlers the
// program registered for those controls. An error a handler throws ends that user action and
// goes to the reporter (the window shows it in a message box); the window goes on running.

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <unordered_map>

namespace kestrova {

class EventTable {
public:
    using Handler = std::function<void()>;
    // Returns true when it handled the notification; result is the window procedure's result.
    using NotifyHandler = std::function<bool(NMHDR& header, LRESULT& result)>;
    using ErrorReporter = std::function<void(const std::wstring& message)>;

    // A button's click (BN_CLICKED) or any other command notification code of a control.
    void OnClick(HWND control, Handler handler);
    void OnCommand(HWND control, WORD code, Handler handler);
    // A menu item or accelerator by its command id.
    void OnMenuCommand(UINT id, Handler handler);
    // WM_NOTIFY from a control, or from a control's own child (a list view's header).
    void OnNotify(HWND control, NotifyHandler handler);

    void SetErrorReporter(ErrorReporter reporter) { reporter_ = std::move(reporter); }
    const ErrorReporter& Reporter() const { return reporter_; }

    // Runs a handler, reporting what it throws.
    void Run(const Handler& handler) const;

    // For the window procedure: WM_COMMAND and WM_NOTIFY from the controls and menus. True
    // when the message was one of ours; result is then the window procedure's result.
    bool Dispatch(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) const;

private:
    bool DispatchCommand(WPARAM wparam, LPARAM lparam) const;
    bool DispatchNotify(LPARAM lparam, LRESULT& result) const;

    struct CommandKey {
        HWND control;
        WORD code;
        bool operator==(const CommandKey&) const = default;
    };
    struct CommandKeyHash {
        size_t operator()(const CommandKey& key) const {
            return std::hash<void*>()(key.control) ^ (static_cast<size_t>(key.code) << 1);
        }
    };

    std::unordered_map<CommandKey, Handler, CommandKeyHash> commands_;
    std::unordered_map<UINT, Handler> menuCommands_;
    std::unordered_map<HWND, NotifyHandler> notifications_;
    ErrorReporter reporter_;
};

}  // namespace kestrova
