#include "window_delivery.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <optional>

#include "app/first_activation.h"
#include "app/main_form.h"
#include "app/scan_errors_section.h"
#include "window_loop.h"
#include "registry_redirect.h"
#include "silent_dialogs.h"
#include "scan/scan_groups.h"

namespace kestrova::bench {

namespace {

// Far beyond any scan the benchmark makes; only keeps a broken run from hanging.
constexpr std::chrono::minutes kLimit{30};

}  // namespace

WindowFigures MeasureWindowDelivery(const std::wstring& dataFolder) {
    // The first-activation scan counts as offered on an earlier run, so only the press below
    // starts a scan.
    SetText(CreateVolatileKey(HKEY_LOCAL_MACHINE, kProgramStateKeyPath).Get(),
            kActivatedFirstScanValue, L"1");

    WindowFigures figures;
    SilentDialogs dialogs;
    TfmMainForm form(dialogs, dataFolder);
    if (!form.Create(GetModuleHandleW(nullptr))) {
        return figures;
    }
    figures.created = true;
    ShowWindow(form.Handle(), SW_SHOW);
    UpdateWindow(form.Handle());
    PumpFor(300);  // activation, first painting

    ScanErrorsSection& page = form.Get<ScanErrorsSection>();
    const HWND list = page.lvErrors.Handle();
    const Clock::time_point pressed = Clock::now();
    page.btnStartScan.Click();
    const LoopFigures loop = RunLoopUntil(list, pressed, kLimit, [&form, &page] {
        return !form.Get<ScanErrorsSection>().ScanRunning() &&
               page.lblScanLabel.Text() == kScanDoneStatus;
    });
    figures.finished = loop.finished;
    figures.doneMs = loop.doneMs;
    figures.lastRowMs = loop.lastRowMs;
    figures.longestPauseMs = loop.longestPauseMs;
    figures.longestTimerGapMs = loop.longestTimerGapMs;
    figures.itemCount = static_cast<size_t>(ListView_GetItemCount(list));
    figures.shownDialogs = dialogs.shown;
    return figures;
}

}  // namespace kestrova::bench
