#include "app/scan_errors_section.h"

#include "app/list_rows.h"
#include "app/page_layout.h"
#include "app/store_file.h"
#include "app/store_file_saver.h"
#include "platform/dialogs.h"
#include "platform/error.h"
#include "platform/ui_keyboard.h"
#include "repair/fix_errors.h"
#include "repair/ignore_list.h"
#include "scan/scan_driver.h"

namespace kestrova {

using namespace layout;

namespace {

constexpr wchar_t kStartScanCaption[] = L"Start &Scan";
constexpr wchar_t kStopScanCaption[] = L"Stop &Scan";

// Maps indices into a list of picked rows back to the rows' list indices.
std::vector<size_t> ListIndicesOf(const std::vector<size_t>& picked,
                                  const std::vector<size_t>& listIndices) {
    std::vector<size_t> result;
    result.reserve(picked.size());
    for (size_t index : picked) {
        result.push_back(listIndices.at(index));
    }
    return result;
}

}  // namespace

ScanErrorsSection::ScanErrorsSection(SectionHost& host) : Section(host) {
    scanReceivers_.addRow = [this](ErrorRow row) { errors.Add(std::move(row)); };
    // Only the last status of a batch is ever seen: the label is set once per batch.
    scanReceivers_.setStatus = [this](const std::wstring& status) { pendingStatus_ = status; };
    scanReceivers_.setGroupCount = [this](int group, int count) {
        const size_t row = static_cast<size_t>(group);
        if (row < scanGroups.RowCount()) {
            scanGroups.SetCell(row, 1, std::to_wstring(count));
        }
    };
    channel_.SetBatchHooks([this] { BeforeChannelBatch(); }, [this] { AfterChannelBatch(); });
    channel_.SetErrorHandler(
        [this](std::exception_ptr error) { host_.ReportError(ErrorText(error)); });

    ScanErrorsThread.onStart = [this](WorkerThread&, WorkerRun&, void*) {
        ScanErrorsThreadStart();
    };
    ScanErrorsThread.onExecute = [this](WorkerThread&, WorkerRun& run, void*) {
        ScanErrorsThreadExecute(run);
    };
    ScanErrorsThread.onTerminate = [this](WorkerThread&, WorkerRun&, void*) {
        ScanErrorsThreadTerminate();
    };
    // While a scan runs, the two lists take their new rows and counters every update interval
    // rather than after every batch of the channel: each update of a list view costs about as
    // much as painting it (under Wine some 15 ms), and after every batch it kept the window
    // thread busy for most of the scan and delayed the scan's end by as much again.
    ScanErrorsThread.SetUpdatesEnabled(true);
    ScanErrorsThread.onUpdate = [this](WorkerThread&, WorkerRun&, void*) {
        errorsBatch_.reset();
        groupsBatch_.reset();
    };
}

void ScanErrorsSection::Build(Panel& page) {
    const Bounds area = PageArea(page);
    ListViewOptions options;
    options.smallImages = host_.ScanImages();
    // The groups give the error list's filter strip its room, so the errors keep their height.
    const int groupsHeight = 193 - ListTools::kStripSpace;
    lvScanGroups.Create(page, scanGroups, Bounds{area.x, area.y, area.width, groupsHeight},
                        {{L"Scan Groups", 300}, {L"Errors", kAutoWidth}}, options);
    lvScanGroups.Anchor(kAnchorTopWide);

    const Bounds panel = PlaceControlPanel(page, gbControlPanel, 52);
    PlaceButtonRow(page, panel.x + 10, panel.y + 18,
                   {{&btnStartScan, kStartScanCaption},
                    {&btnFixSelected, L"Fix &Errors     ", false},
                    {&btnAdd2Ignore, L"&Add to Ignore List"}});

    const int labelTop = panel.y - 18;
    lblScanLabel.Create(page, L"", Bounds{area.x + 2, labelTop, area.width - 4, 15});
    lblScanLabel.Anchor(kAnchorBottomWide);
    const int errorsTop = area.y + groupsHeight + kMargin;
    lvErrors.Create(page, errors, Bounds{area.x, errorsTop, area.width, labelTop - 3 - errorsTop},
                    {{L"Error Type", 130},
                     {L"Key Name", 150},
                     {L"Key Value", 140},
                     {L"Guess Path", kAutoWidth}},
                    options);
    // Tab: the two lists top to bottom, then the buttons.
    SetTabOrder({lvScanGroups.Handle(), lvErrors.Handle()});
    lvErrorsTools.Create(page, lvErrors, host_.Dialogs(), L"Scan Errors");

    btnStartScan.OnClick(page, [this] { btnStartScanClick(); });
    btnFixSelected.OnClick(page, [this] { btnFixSelectedClick(); });
    btnAdd2Ignore.OnClick(page, [this] { btnAdd2IgnoreClick(); });
    lvScanGroups.OnClick([this] { groupChecks_.CopyFrom(scanGroups); });
}

void ScanErrorsSection::Selected() {
    // After a scan that found errors the groups keep their marks and counts; a running scan
    // keeps them too, it is still writing its counters.
    if (errors.RowCount() == 0 && !ScanRunning()) {
        FillScanGroups();
    }
}

void ScanErrorsSection::WindowShown() {
    // A running scan walks the groups and has written some counters already.
    if (!ScanRunning()) {
        FillScanGroups();
    }
}

void ScanErrorsSection::Closing() {
    ScanErrorsThread.Stop();  // does not wait: the worker ends on its own
}

void ScanErrorsSection::FillScanGroups() {
    FillScanGroupRows(scanGroups);
    groupChecks_.CopyFrom(scanGroups);
}

void ScanErrorsSection::BeforeChannelBatch() {
    if (!errorsBatch_) {
        errorsBatch_.emplace(errors);
    }
    if (!groupsBatch_) {
        groupsBatch_.emplace(scanGroups);
    }
}

void ScanErrorsSection::AfterChannelBatch() {
    // The batch holding the terminate event, or any batch outside a scan, shows everything.
    if (!ScanErrorsThread.Running()) {
        errorsBatch_.reset();
        groupsBatch_.reset();
    }
    if (pendingStatus_) {
        lblScanLabel.SetText(*pendingStatus_);
        pendingStatus_.reset();
    }
}

void ScanErrorsSection::btnStartScanClick() {
    if (!ScanErrorsThread.Running()) {
        ScanErrorsThread.Start();
    } else {
        ScanErrorsThread.Stop();
    }
}

void ScanErrorsSection::ScanErrorsThreadStart() {
    endStatus_ = std::wstring(kScanDoneStatus);
    btnStartScan.SetText(kStopScanCaption);
    btnFixSelected.SetEnabled(false);
    {
        ListModel::Batch batch(scanGroups);
        for (size_t i = 0; i < scanGroups.RowCount(); ++i) {
            scanGroups.SetCell(i, 1, L"0");
        }
    }
    errors.Clear();
    groupChecks_.CopyFrom(scanGroups);
}

void ScanErrorsSection::ScanErrorsThreadExecute(WorkerRun& run) {
    std::wstring endStatus;
    {
        PostingScanSink sink(channel_.Poster(), scanReceivers_, run, groupChecks_);
        // A failed run keeps the rows found so far and says so in the status line.
        endStatus = ScanEndStatus(RunScan(sink, host_.IgnoreStore().Document()));
    }
    // Behind every report of the run, and ahead of its terminate event.
    channel_.Post([this, endStatus] { endStatus_ = endStatus; });
}

void ScanErrorsSection::ScanErrorsThreadTerminate() {
    if (!host_.WindowOpen()) {
        return;  // the window went first
    }
    btnStartScan.SetText(kStartScanCaption);
    host_.Show(*this);
    btnFixSelected.SetEnabled(true);
    // A status still waiting for the end of this batch is older than the end itself.
    pendingStatus_.reset();
    lblScanLabel.SetText(endStatus_);
}

void ScanErrorsSection::btnFixSelectedClick() {
    const std::vector<size_t> checked = errors.CheckedRows();
    std::vector<FixRow> rows;
    rows.reserve(checked.size());
    for (size_t index : checked) {
        const ErrorRow& row = errors.At(index);
        rows.push_back(FixRow{row.type, row.keyName, row.guessPath});
    }
    StoreFile& history = host_.RestoreStore();
    const FixResult result = FixErrors(history.Document(), SaverFor(history), rows);
    // Rows that were refused, not recorded or not deleted stay in the list, told once.
    const std::wstring summary = FixSummaryText(result, rows);
    if (result.saveError) {
        host_.Dialogs().ShowError(summary);
        return;
    }
    host_.StoreChanged(history);
    lvErrors.SetRedraw(false);
    errors.Remove(ListIndicesOf(result.handled, checked));
    lvErrors.SetRedraw(true);
    FillScanGroups();
    if (!summary.empty()) {
        host_.Dialogs().ShowError(summary);
    }
}

void ScanErrorsSection::btnAdd2IgnoreClick() {
    const std::vector<size_t> checked = errors.CheckedRows();
    std::vector<std::wstring> keyNames;
    keyNames.reserve(checked.size());
    for (size_t index : checked) {
        keyNames.push_back(errors.At(index).keyName);
    }
    StoreFile& ignore = host_.IgnoreStore();
    const IgnoreRowsResult result =
        IgnoreList(ignore.Document(), SaverFor(ignore)).AddErrorRows(keyNames);
    host_.StoreChanged(ignore);
    lvErrors.SetRedraw(false);
    errors.Remove(ListIndicesOf(result.added, checked));
    lvErrors.SetRedraw(true);
    if (result.saveError) {
        host_.Dialogs().ShowError(*result.saveError);
    }
}

}  // namespace kestrova
