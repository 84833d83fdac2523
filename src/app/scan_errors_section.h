#pragma once
// "Scan and Fix Errors": the scan-group list, the scan on its own worker thread, the error
// list, fixing the checked rows and sending them to the ignore list.

#include <optional>
#include <string>

#include "app/error_list_model.h"
#include "app/posting_scan_sink.h"
#include "app/scan_group_checks.h"
#include "app/list_tools.h"
#include "app/section.h"
#include "platform/list_model.h"
#include "platform/ui_channel.h"
#include "platform/ui_controls.h"
#include "platform/ui_list_view.h"
#include "platform/worker_thread.h"

namespace kestrova {

class ScanErrorsSection final : public Section {
public:
    explicit ScanErrorsSection(SectionHost& host);

    void Build(Panel& page) override;
    void Selected() override;
    void WindowShown() override;
    void Closing() override;

    // "Start &Scan" while no scan runs (the first-activation scan presses it too).
    void btnStartScanClick();
    // From the scan's start until its terminate event.
    bool ScanRunning() const { return ScanErrorsThread.Running(); }

    TextRows scanGroups;    // lvScanGroups: "Scan Groups", "Errors"
    ErrorListModel errors;  // lvErrors
    VirtualListView lvScanGroups;
    VirtualListView lvErrors;
    ListTools lvErrorsTools;  // filter, count and export above the list
    Label lblScanLabel;
    GroupBox gbControlPanel;
    Button btnStartScan;
    Button btnFixSelected;
    Button btnAdd2Ignore;

private:
    void FillScanGroups();
    void ScanErrorsThreadStart();
    void ScanErrorsThreadExecute(WorkerRun& run);
    void ScanErrorsThreadTerminate();
    void BeforeChannelBatch();
    void AfterChannelBatch();
    void btnFixSelectedClick();
    void btnAdd2IgnoreClick();

    ScanGroupChecks groupChecks_;
    ScanReceivers scanReceivers_;
    // Rows and counters arriving during a scan reach each list view with one notice per
    // update interval of the worker, and the rest at the scan's end.
    std::optional<ListModel::Batch> errorsBatch_;
    std::optional<ListModel::Batch> groupsBatch_;
    std::optional<std::wstring> pendingStatus_;
    // What the status line says once the run has ended: set by the run's last report.
    std::wstring endStatus_;
    // Declared last: the worker is stopped and waited for first, while everything its queued
    // reports reach still exists.
    UiChannel channel_;
    WorkerThread ScanErrorsThread{channel_};
};

}  // namespace kestrova
