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
#include "window_loop.h"
#include "platform/file_paths.h"
#include "registry_redirect.h"
#include "run_with_com.h"
#include "silent_dialogs.h"

namespace kestrova::bench {

namespace {

// Far beyond any read the benchmark makes; only keeps a broken run from hanging.
constexpr std::chrono::minutes kLimit{10};

// The store's read alone, on this thread; 0 when it read another number of records.
double TimeReadAll(size_t extensions) {
    const Clock::time_point start = Clock::now();
    const size_t count = StoreRead().size();
    const double ms = Ms(Clock::now() - start);
    if (count != extensions) {
        std::fprintf(stderr, "the store read %zu records\n", count);
        return 0;
    }
    return ms;
}

// Presses "Refresh" and runs the window's loop until every row is in the list view.
LoopFigures TimeRefresh(TfrmFileAssociator& frame, size_t extensions) {
    const Clock::time_point pressed = Clock::now();
    frame.btnRefresh.Click();
    return RunLoopUntil(frame.lvExtensions.Handle(), pressed, kLimit, [&frame, extensions] {
        return !frame.ReadRunning() &&
               static_cast<size_t>(ListView_GetItemCount(frame.lvExtensions.Handle())) ==
                   extensions;
    });
}

int Run(size_t extensions, int runs) {
    const RegistryRedirect redirect;
    const Clock::time_point start = Clock::now();
    FillClassesRoot(extensions);
    std::printf("Classes root: %zu extensions filled in %.0f ms\n", extensions,
                Ms(Clock::now() - start));

    // The first-activation scan counts as offered on an earlier run.
    SetText(CreateVolatileKey(HKEY_LOCAL_MACHINE, kProgramStateKeyPath).Get(),
            kActivatedFirstScanValue, L"1");
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring dataFolder =
        std::wstring(temp) + L"kestrova-assoc-bench-" + std::to_wstring(GetCurrentProcessId());
    EnsureFolder(dataFolder);

    double bestRead = 1e300;
    double bestLastRow = 1e300;
    double longestPause = 0;
    int result = 0;
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
        // In alternating order, so a change of the machine's load weighs on both alike.
        for (int round = 0; round < runs && result == 0; ++round) {
            double readMs = 0;
            LoopFigures window;
            for (int part = 0; part < 2; ++part) {
                if ((round + part) % 2 == 0) {
                    readMs = TimeReadAll(extensions);
                } else {
                    window = TimeRefresh(frame, extensions);
                }
            }
            if (readMs == 0 || !window.finished) {
                std::fprintf(stderr, "a round did not read every record\n");
                result = 1;
                break;
            }
            std::printf(
                "round %d: ReadAll alone %.0f ms; window: last row %.0f ms, longest pause %.1f "
                "ms, longest timer gap %.1f ms, progress %d of %d\n",
                round + 1, readMs, window.lastRowMs, window.longestPauseMs,
                window.longestTimerGapMs, frame.prgbarExtensions.Position(),
                frame.prgbarExtensions.Maximum());
            bestRead = std::min(bestRead, readMs);
            bestLastRow = std::min(bestLastRow, window.lastRowMs);
            longestPause = std::max(longestPause, window.longestPauseMs);
        }
        if (dialogs.shown != 0) {
            std::fprintf(stderr, "the window showed %zu message boxes\n", dialogs.shown);
            result = 1;
        }
        SendMessageW(form.Handle(), WM_CLOSE, 0, 0);
    }
    RemoveDirectoryW((dataFolder + L"\\Backup").c_str());
    DeleteFileW((dataFolder + L"\\Backup.xml").c_str());
    RemoveDirectoryW(dataFolder.c_str());
    if (result != 0) {
        return result;
    }
    std::printf(
        "best: last row in the window %.0f ms, ReadAll alone %.0f ms; longest pause of all "
        "rounds %.1f ms\n",
        bestLastRow, bestRead, longestPause);
    std::printf("ratio %.2f\n", bestLastRow / bestRead);
    return 0;
}

}  // namespace

}  // namespace kestrova::bench

int wmain(int argc, wchar_t** argv) {
    size_t extensions = 10000;
    int runs = 3;
    if (!kestrova::bench::ParseAssociationArguments(argc, argv, "association_window_benchmark",
                                                    extensions, runs)) {
        return 2;
    }
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    return kestrova::bench::RunWithCom(COINIT_APARTMENTTHREADED,
                                       [&] { return kestrova::bench::Run(extensions, runs); });
}
