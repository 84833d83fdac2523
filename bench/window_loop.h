#pragma once
// The message loop of a benchmark that drives a real window: run until the window has done
// its part, timing the loop's pauses and the last change of a list view's item count.

#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <functional>

#include "loop_timing.h"

namespace kestrova::bench {

struct LoopFigures {
    bool finished = false;         // done() turned true before the limit
    double lastRowMs = 0;          // from the start to the last change of the list's item count
    double doneMs = 0;             // from the start until done() turned true
    double longestPauseMs = 0;     // longest time the loop spent on one message
    double longestTimerGapMs = 0;  // longest time between two ticks of a 10 ms timer
};

// Runs this thread's message loop from started until done() (asked after each message) or
// until limit has passed, with a 10 ms thread timer running. The time a message takes to
// handle counts as a pause: the window cannot answer meanwhile.
inline LoopFigures RunLoopUntil(HWND list, Clock::time_point started, Clock::duration limit,
                                const std::function<bool()>& done) {
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, nullptr);
    LoopFigures figures;
    LoopPauses pauses;
    Clock::time_point lastRow = started;
    int shownItems = ListView_GetItemCount(list);
    MSG message;
    while (Clock::now() - started < limit && GetMessageW(&message, nullptr, 0, 0) > 0) {
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
            figures.doneMs = Ms(handled - started);
            break;
        }
    }
    KillTimer(nullptr, timer);
    figures.lastRowMs = Ms(lastRow - started);
    figures.longestPauseMs = pauses.LongestPauseMs();
    figures.longestTimerGapMs = pauses.LongestTimerGapMs();
    return figures;
}

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
