// The File Extensions Manager's list filled in the real main window: TfmMainForm over a classes
// root of many extensions (the association benchmark's data), the More Tools page shown,
// "Refresh" pressed, and this thread running the window's message loop until the last row is
// in the list view. The roots of this process point at volatile scratch keys, so the prefix's
// registry is neither read nor changed. Needs a display.
//
// Usage: association_window_benchmark [--extensions N] [--runs N]
//   --extensions N  extensions in the classes root (default 10,000)
//   --runs N        rounds of each measure (default 3)
// Last line: the ratio of the best time to the last row in the window to the best time of the
// store's read alone.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "app/file_extensions_frame.h"
#include "app/first_activation.h"
#include "app/main_form.h"
#include "app/more_tools_section.h"
#include "association_data.h"
#include "loop_timing.h"
#include "platform/file_paths.h"
#include "registry_redirect.h"
#include "run_with_com.h"
#include "silent_dialogs.h"

namespace kestrova::bench {

namespace {

// Far beyond any read the benchmark makes; only keeps a broken run from hanging.
constexpr std::chrono::minutes kLimit{10};

struct ListFigures {
    bool finished = false;         // the read ended with every row in the list view
    double lastRowMs = 0;          // the press to the last change of the list's item count
    double doneMs = 0;             // the press to the read's end
    double longestPauseMs = 0;     // longest time the loop spent on one message
    double longestTimerGapMs = 0;  // longest time between two ticks of a 10 ms timer
};

// Presses "Refresh" and runs the message loop until the read has ended and the list view holds
// every row. The time a message takes to handle counts as a pause.
ListFigures MeasureRefresh(TfrmFileAssociator& frame, size_t extensions) {
    const HWND list = frame.lvExtensions.Handle();
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, nullptr);
    ListFigures figures;
    const Clock::time_point pressed = Clock::now();
    frame.btnRefresh.Click();
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
        if (!frame.ReadRunning() && static_cast<size_t>(items) == extensions) {
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

// Dispatches this thread's messages for about ms milliseconds.
void PumpFor(DWORD ms) {
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

int Run(size_t extensions, int runs) {
    const RegistryRedirect redirect;
    Clock::time_point start = Clock::now();
    FillClassesRoot(extensions);
    std::printf("Classes root: %zu extensions filled in %.0f ms\n", extensions,
                Ms(Clock::now() - start));

    double bestRead = 1e300;
    for (int round = 0; round < runs; ++round) {
        start = Clock::now();
        const size_t count = StoreRead().size();
        const double ms = Ms(Clock::now() - start);
        if (count != extensions) {
            std::fprintf(stderr, "the store read %zu records\n", count);
            return 1;
        }
        bestRead = std::min(bestRead, ms);
        std::printf("ReadAll alone, round %d: %.0f ms\n", round + 1, ms);
    }

    // The first-activation scan counts as offered on an earlier run.
    SetText(CreateVolatileKey(HKEY_LOCAL_MACHINE, kProgramStateKeyPath).Get(),
            kActivatedFirstScanValue, L"1");
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring dataFolder =
        std::wstring(temp) + L"kestrova-assoc-bench-" + std::to_wstring(GetCurrentProcessId());
    EnsureFolder(dataFolder);

    double bestLastRow = 1e300;
    {
        SilentDialogs dialogs;
        TfmMainForm form(dialogs, dataFolder);
        if (!form.Create(GetModuleHandleW(nullptr))) {
            std::fprintf(stderr, "the main window could not be created (no display?)\n");
            return 1;
        }
        ShowWindow(form.Handle(), SW_SHOW);
        UpdateWindow(form.Handle());
        PumpFor(300);
        form.ToolButtonFor<MoreToolsSection>().Click();
        PumpFor(100);
        TfrmFileAssociator& frame = form.Get<MoreToolsSection>().Get<TfrmFileAssociator>();
        for (int round = 0; round < runs; ++round) {
            const ListFigures figures = MeasureRefresh(frame, extensions);
            if (!figures.finished) {
                std::fprintf(stderr, "the list did not fill within the time limit\n");
                return 1;
            }
            std::printf(
                "Window, round %d: last row %.0f ms, read done %.0f ms, longest pause %.1f ms, "
                "longest timer gap %.1f ms, progress %d of %d\n",
                round + 1, figures.lastRowMs, figures.doneMs, figures.longestPauseMs,
                figures.longestTimerGapMs, frame.prgbarExtensions.Position(),
                frame.prgbarExtensions.Maximum());
            bestLastRow = std::min(bestLastRow, figures.lastRowMs);
        }
        if (dialogs.shown != 0) {
            std::fprintf(stderr, "the window showed %zu message boxes\n", dialogs.shown);
            return 1;
        }
        SendMessageW(form.Handle(), WM_CLOSE, 0, 0);
    }
    RemoveDirectoryW((dataFolder + L"\\Backup").c_str());
    DeleteFileW((dataFolder + L"\\Backup.xml").c_str());
    RemoveDirectoryW(dataFolder.c_str());

    std::printf("best: last row in the window %.0f ms, ReadAll alone %.0f ms\n", bestLastRow,
                bestRead);
    std::printf("ratio %.2f\n", bestLastRow / bestRead);
    return 0;
}

}  // namespace

}  // namespace kestrova::bench

int wmain(int argc, wchar_t** argv) {
    size_t extensions = 10000;
    int runs = 3;
    for (int i = 1; i < argc; ++i) {
        const std::wstring argument = argv[i];
        if (argument == L"--extensions" && i + 1 < argc) {
            extensions = static_cast<size_t>(std::stoul(argv[++i]));
        } else if (argument == L"--runs" && i + 1 < argc) {
            runs = std::stoi(argv[++i]);
        } else {
            std::fprintf(stderr,
                         "usage: association_window_benchmark [--extensions N] [--runs N]\n");
            return 2;
        }
    }
    if (extensions < 1 || runs < 1) {
        std::fprintf(stderr, "--extensions and --runs must be at least 1\n");
        return 2;
    }
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    return kestrova::bench::RunWithCom(COINIT_APARTMENTTHREADED,
                                       [&] { return kestrova::bench::Run(extensions, runs); });
}
