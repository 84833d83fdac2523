#pragma once
// What the benchmarks that open the real main window share: dialogs that never wait for a
// person, and a message pump for a while.

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>

#include "loop_timing.h"
#include "platform/dialogs.h"

namespace kestrova::bench {

// Nothing may wait for a person: every box is counted and answered "No" or cancelled.
class SilentDialogs final : public IDialogs {
public:
    void ShowMessage(const std::wstring&) override { ++shown; }
    void ShowInformation(const std::wstring&, const std::wstring&) override { ++shown; }
    void ShowError(const std::wstring&) override { ++shown; }
    bool Confirm(const std::wstring&) override {
        ++shown;
        return false;
    }
    std::optional<std::wstring> OpenFile(const FileDialogOptions&) override {
        ++shown;
        return std::nullopt;
    }
    std::optional<std::wstring> SaveFile(const FileDialogOptions&) override {
        ++shown;
        return std::nullopt;
    }
    std::optional<std::wstring> BrowseFolder(const std::wstring&) override {
        ++shown;
        return std::nullopt;
    }

    size_t shown = 0;
};

// Dispatches this thread's messages for about ms milliseconds.
inline void PumpFor(DWORD ms) {
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(ms);
    while (Clock::now() < end) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

}  // namespace kestrova::bench
