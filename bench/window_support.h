#pragma once
// What the benchmarks that open the real main window share: dialogs that never wait for a
// person, and a message pump for a while.

#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <functional>
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

// What the window's message loop showed from a press until the pressed work was done.
struct LoopFigures {
    bool finished = false;         // done() turned true before the time limit
    double lastRowMs = 0;          // the press to the last change of the list's item count
    double doneMs = 0;             // the press to done()
    double longestPauseMs = 0;     // longest time between two messages taken by the loop
    double longestTimerGapMs = 0;  // longest time between two ticks of a 10 ms timer
};

// Calls press, then runs this thread's message loop (with a 10 ms thread timer) until done()
// after a message, watching the item count of list. Far beyond any work the benchmarks make,
// the time limit only keeps a broken run from hanging.
inline LoopFigures PressAndWatch(HWND list, const std::function<void()>& press,
                                 const std::function<bool()>& done) {
    constexpr std::chrono::minutes kLimit{30};
    LoopFigures figures;
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, nullptr);
    const Clock::time_point pressed = Clock::now();
    press();

    // The time a message takes to handle counts as a pause: the window cannot answer meanwhile.
    LoopPauses pauses;
    Clock::time_point lastRow = pressed;
    int shownItems = ListView_GetItemCount(list);
    MSG message;
    while (Clock::now() - pressed < kLimit && GetMessageW(&message, nullptr, 0, 0) > 0) {
        pauses.Took(message);
        TranslateMessage(&message);
        DispatchMessageW(&message);

        const Clock::time_point handled = Clock::now();
        const int items = ListView_GetItemCount(list);
        if (items != shownItems) {
            shownItems = items;
            lastRow = handled;
        }
        if (done()) {
            figures.finished = true;
            figures.doneMs = Ms(handled - pressed);
            break;
        }
    }
    KillTimer(nullptr, timer);
    figures.lastRowMs = Ms(lastRow - pressed);
    figures.longestPauseMs = pauses.LongestPauseMs();
    figures.longestTimerGapMs = pauses.LongestTimerGapMs();
    return figures;
}

}  // namespace kestrova::bench
