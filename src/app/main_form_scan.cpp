// The error section: the scan on its worker thread, fixing the checked rows and adding them to
// the ignore list. The handlers only hand the rows to the engines and show what comes back.
#include "app/main_form.h"
#include "platform/error.h"
#include "repair/fix_errors.h"
#include "scan/scan_driver.h"

namespace kestrova {

namespace {

constexpr wchar_t kStartScanCaption[] = L"Start &Scan";
constexpr wchar_t kStopScanCaption[] = L"Stop &Scan";

// The list indices of the checked rows, in list order.
std::vector<size_t> CheckedRows(const ErrorListModel& errors) {
    std::vector<size_t> rows;
    for (size_t i = 0; i < errors.RowCount(); ++i) {
        if (errors.Checked(i)) {
            rows.push_back(i);
        }
    }
    return rows;
}

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

void TfmMainForm::WireScanSection() {
    ScanErrorsPage& page = scanErrors_;
    Panel& panel = MainControl_.Page(static_cast<size_t>(Section::ScanErrors));
    page.btnStartScan.OnClick(panel, [this] { btnStartScanClick(); });
    page.btnFixSelected.OnClick(panel, [this] { btnFixSelectedClick(); });
    page.btnAdd2Ignore.OnClick(panel, [this] { btnAdd2IgnoreClick(); });
    page.lvScanGroups.OnClick([this] { groupChecks_.CopyFrom(scanErrors_.scanGroups); });

    scanReceivers_.addRow = [this](ErrorRow row) { scanErrors_.errors.Add(std::move(row)); };
    // Only the last status of a batch is ever seen: the label is set once per batch.
    scanReceivers_.setStatus = [this](const std::wstring& status) { pendingStatus_ = status; };
    scanReceivers_.setGroupCount = [this](int group, int count) {
        const size_t row = static_cast<size_t>(group);
        if (row < scanErrors_.scanGroups.RowCount()) {
            scanErrors_.scanGroups.SetCell(row, 1, std::to_wstring(count));
        }
    };
    channel_.SetBatchHooks([this] { BeforeChannelBatch(); }, [this] { AfterChannelBatch(); });
    channel_.SetErrorHandler(
        [this](std::exception_ptr error) { events_.Reporter()(ErrorText(error)); });

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

void TfmMainForm::BeforeChannelBatch() {
    if (!errorsBatch_) {
        errorsBatch_.emplace(scanErrors_.errors);
    }
    if (!groupsBatch_) {
        groupsBatch_.emplace(scanErrors_.scanGroups);
    }
}

void TfmMainForm::AfterChannelBatch() {
    // The batch holding the terminate event, or any batch outside a scan, shows everything.
    if (!ScanErrorsThread.Running()) {
        errorsBatch_.reset();
        groupsBatch_.reset();
    }
    if (pendingStatus_) {
        scanErrors_.lblScanLabel.SetText(*pendingStatus_);
        pendingStatus_.reset();
    }
}

void TfmMainForm::btnStartScanClick() {
    if (scanErrors_.btnStartScan.Text() == kStartScanCaption) {
        ScanErrorsThread.Start();
    } else {
        ScanErrorsThread.Stop();
    }
}

void TfmMainForm::ScanErrorsThreadStart() {
    ScanErrorsPage& page = scanErrors_;
    page.btnStartScan.SetText(kStopScanCaption);
    page.btnFixSelected.SetEnabled(false);
    {
        ListModel::Batch batch(page.scanGroups);
        for (size_t i = 0; i < page.scanGroups.RowCount(); ++i) {
            page.scanGroups.SetCell(i, 1, L"0");
        }
    }
    page.errors.Clear();
    groupChecks_.CopyFrom(page.scanGroups);
}

void TfmMainForm::ScanErrorsThreadExecute(WorkerRun& run) {
    PostingScanSink sink(channel_.Poster(), scanReceivers_, run, groupChecks_);
    // A failed run ends like any other: the rows found so far stay and nothing is reported.
    RunScan(sink, IgnoreXML.Document());
}

void TfmMainForm::ScanErrorsThreadTerminate() {
    if (!hwnd_) {
        return;  // the window went first
    }
    ScanErrorsPage& page = scanErrors_;
    page.btnStartScan.SetText(kStartScanCaption);
    ShowSection(Section::ScanErrors);
    page.btnFixSelected.SetEnabled(true);
    // A status still waiting for the end of this batch is older than the end itself.
    pendingStatus_.reset();
    page.lblScanLabel.SetText(std::wstring(kScanDoneStatus));
}

void TfmMainForm::btnFixSelectedClick() {
    ErrorListModel& errors = scanErrors_.errors;
    const std::vector<size_t> checked = CheckedRows(errors);
    std::vector<FixRow> rows;
    rows.reserve(checked.size());
    for (size_t index : checked) {
        const ErrorRow& row = errors.At(index);
        rows.push_back(FixRow{row.type, row.keyName, row.guessPath});
    }
    const FixResult result =
        FixErrors(Restore_XMLDocument.Document(), SaverFor(Restore_XMLDocument), rows);
    if (result.saveError) {
        dialogs_.ShowError(L"Nothing was fixed: the restore history could not be saved.\n\n" +
                           *result.saveError);
        return;
    }
    scanErrors_.lvErrors.SetRedraw(false);
    errors.Remove(ListIndicesOf(result.handled, checked));
    scanErrors_.lvErrors.SetRedraw(true);
    FillScanGroups();
}

void TfmMainForm::btnAdd2IgnoreClick() {
    ErrorListModel& errors = scanErrors_.errors;
    const std::vector<size_t> checked = CheckedRows(errors);
    std::vector<std::wstring> keyNames;
    keyNames.reserve(checked.size());
    for (size_t index : checked) {
        keyNames.push_back(errors.At(index).keyName);
    }
    const IgnoreRowsResult result = IgnoreEngine().AddErrorRows(keyNames);
    scanErrors_.lvErrors.SetRedraw(false);
    errors.Remove(ListIndicesOf(result.added, checked));
    scanErrors_.lvErrors.SetRedraw(true);
    if (result.saveError) {
        dialogs_.ShowError(*result.saveError);
    }
}

}  // namespace kestrova
