#pragma once
// The rows of a scan on their way into the real main window: TfmMainForm over the benchmark's
// registry, its "Start Scan" button pressed, and this thread running the window's message
// loop until the scan's end shows. Needs a display.

#include <cstddef>
#include <string>

namespace kestrova::bench {

struct WindowFigures {
    bool created = false;          // the window could be created (no display: false)
    bool finished = false;         // "Scan done !" was shown before the time limit
    size_t itemCount = 0;          // items of the error list view at the end
    double lastRowMs = 0;          // the press to the last change of the list's item count
    double doneMs = 0;             // the press to "Scan done !" in the status line
    double longestPauseMs = 0;     // longest time between two messages taken by the loop
    double longestTimerGapMs = 0;  // longest time between two ticks of a 10 ms timer
    size_t shownDialogs = 0;       // message boxes the window asked for (none expected)
};

// Runs on the calling thread, which must have COM initialised, common controls registered
// and no window of its own. dataFolder (with a trailing "\", existing) takes the window's
// Backup.xml and ignore.xml. The registry's roots must already be redirected and filled.
WindowFigures MeasureWindowDelivery(const std::wstring& dataFolder);

}  // namespace kestrova::bench
