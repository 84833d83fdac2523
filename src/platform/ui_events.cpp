#include "platform/ui_events.h"

#include "platform/error.h"

namespace kestrova {

void EventTable::OnClick(HWND control, Handler handler) {
    OnCommand(control, BN_CLICKED, std::move(handler));
}

void EventTable::OnCommand(HWND control, WORD code, Handler handler) {
    commands_[CommandKey{control, code}] = std::move(handler);
}

void EventTable::OnMenuCommand(UINT id, Handler handler) {
    menuCommands_[id] = std::move(handler);
}

void EventTable::OnNotify(HWND control, NotifyHandler handler) {
    notifications_[control] = std::move(handler);
}

void EventTable::Run(const Handler& handler) const {
    try {
        handler();
    } catch (...) {
        if (reporter_) {
            reporter_(ErrorText(std::current_exception()));
        }
    }
}

bool EventTable::Dispatch(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) const {
    switch (message) {
        case WM_COMMAND:
            result = 0;
            return DispatchCommand(wparam, lparam);
        case WM_NOTIFY:
            return DispatchNotify(lparam, result);
    }
    return false;
}

bool EventTable::DispatchCommand(WPARAM wparam, LPARAM lparam) const {
    const HWND control = reinterpret_cast<HWND>(lparam);
    if (control) {
        const auto found = commands_.find(CommandKey{control, HIWORD(wparam)});
        if (found == commands_.end()) {
            return false;
        }
        // Copied: the handler may replace its own entry.
        const Handler handler = found->second;
        Run(handler);
        return true;
    }
    const auto found = menuCommands_.find(LOWORD(wparam));
    if (found == menuCommands_.end()) {
        return false;
    }
    const Handler handler = found->second;
    Run(handler);
    return true;
}

bool EventTable::DispatchNotify(LPARAM lparam, LRESULT& result) const {
    auto* header = reinterpret_cast<NMHDR*>(lparam);
    auto found = notifications_.find(header->hwndFrom);
    if (found == notifications_.end()) {
        found = notifications_.find(GetParent(header->hwndFrom));
    }
    if (found == notifications_.end()) {
        return false;
    }
    bool handled = false;
    try {
        handled = found->second(*header, result);
    } catch (...) {
        if (reporter_) {
            reporter_(ErrorText(std::current_exception()));
        }
        handled = true;
    }
    return handled;
}

}  // namespace kestrova
