#include "window_delivery.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <optional>

#include "app/first_activation.h"
#include "app/main_form.h"
#include "app/scan_errors_section.h"
#include "loop_timing.h"
#include "platform/dialogs.h"
#include "registry_redirect.h"
#include "scan/scan_groups.h"

namespace kestrova::bench {

namespace {

// Far beyond any scan the benchmark makes; only keeps a broken run from hanging.
constexpr std::chrono::minutes kLimit{30};

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
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, nullptr);
    const Clock::time_point pressed = Clock::now();
    page.btnStartScan.Click();

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
        if (!form.Get<ScanErrorsSection>().ScanRunning() &&
            page.lblScanLabel.Text() == kScanDoneStatus) {
            figures.finished = true;
            figures.doneMs = Ms(handled - pressed);
            break;
        }
    }
    KillTimer(nullptr, timer);
    figures.longestPauseMs = pauses.LongestPauseMs();
    figures.longestTimerGapMs = pauses.LongestTimerGapMs();
    figures.itemCount = static_cast<size_t>(ListView_GetItemCount(list));
    figures.lastRowMs = Ms(lastRow - pressed);
    figures.shownDialogs = dialogs.shown;
    return figures;
}

}  // namespace kestrova::bench
