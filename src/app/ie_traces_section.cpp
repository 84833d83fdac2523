#include "app/ie_traces_section.h"

#include "app/call_gatherer.h"
#include "app/page_layout.h"
#include "platform/dialogs.h"
#include "platform/error.h"

namespace kestrova {

using namespace layout;

namespace {

constexpr wchar_t kFinishedMessage[] = L"The cleaning up has been finished.";
constexpr wchar_t kFinishedCaption[] = L"Information";

}  // namespace

IeTracesSection::IeTracesSection(SectionHost& host) : Section(host), folders_(ReadIeFolders) {
    const IeActionMarks marks = DefaultIeActionMarks();
    for (size_t i = 0; i < kIeActionCount; ++i) {
        const IeTraceAction& action = kIeTraceActions[i];
        actions.Add(TextRow{{action.caption, RestartIeText(action), action.description}, marks[i]});
    }
    channel_.SetBatchHooks([this] { BeforeChannelBatch(); }, [this] { AfterChannelBatch(); });
    channel_.SetErrorHandler(
        [this](std::exception_ptr error) { host_.ReportError(ErrorText(error)); });

    IeScanThread.onStart = [this](WorkerThread&, WorkerRun&, void*) { IeScanThreadStart(); };
    IeScanThread.onExecute = [this](WorkerThread&, WorkerRun& run, void*) {
        IeScanThreadExecute(run);
    };
    IeScanThread.onTerminate = [this](WorkerThread&, WorkerRun&, void*) {
        IeScanThreadTerminate();
    };
    // The list view takes the files found every update interval rather than after every
    // batch of the channel: each update of a list view costs about as much as painting it.
    IeScanThread.SetUpdatesEnabled(true);
    IeScanThread.onUpdate = [this](WorkerThread&, WorkerRun&, void*) { filesBatch_.reset(); };
}

void IeTracesSection::Build(Panel& page) {
    const Bounds area = PageArea(page);
    // The seven actions still fit when they give the found files' filter strip its room.
    const int actionsHeight = 160 - ListTools::kStripSpace;
    lvIE.Create(
        page, actions, Bounds{area.x, area.y, area.width, actionsHeight},
        {{L"Action", 230}, {L"Restart IE", 70, LVCFMT_CENTER}, {L"Description", kAutoWidth}});
    lvIE.Anchor(kAnchorTopWide);
    const Bounds panel = PlaceControlPanel(page, gbControlPanel, 68);
    const int filesTop = area.y + actionsHeight + kMargin;
    lvDeletedFiles.Create(page, deletedFiles,
                          Bounds{area.x, filesTop, area.width, panel.y - kGap - filesTop},
                          {{L"Section", 120}, {L"File Name", 150}, {L"Full Path", kAutoWidth}});
    lvDeletedFilesTools.Create(page, lvDeletedFiles, host_.Dialogs(), L"Found Files");
    lblDeleting.Create(page, L"", Bounds{panel.x + 10, panel.y + 17, panel.width - 20, 14});
    lblDeleting.Anchor(kAnchorBottomWide);
    PlaceButtonRow(page, panel.x + 10, panel.y + 35,
                   {{&btnTempScan, L"&Start Scan"},
                    {&btnCleanIE, L"&Cleanup"},
                    {&btnCheckIE, L"&Check All"},
                    {&btnUncheckIE, L"&Uncheck All"}});
    btnTempScan.OnClick(page, [this] { btnTempScanClick(); });
    btnCleanIE.OnClick(page, [this] { btnCleanIEClick(); });
    // Both act on the found files only, never on the actions; an empty list stays as it is.
    btnCheckIE.OnClick(page, [this] { deletedFiles.SetAllChecked(true); });
    btnUncheckIE.OnClick(page, [this] { deletedFiles.SetAllChecked(false); });
}

void IeTracesSection::Closing() {
    IeScanThread.Stop();  // does not wait: the worker ends on its own
}

IeActionMarks IeTracesSection::Marks() const {
    IeActionMarks marks{};
    for (size_t i = 0; i < kIeActionCount; ++i) {
        marks[i] = actions.Checked(i);
    }
    return marks;
}

void IeTracesSection::SetActionsEnabled(bool enabled) {
    btnTempScan.SetEnabled(enabled);
    btnCleanIE.SetEnabled(enabled);
}

void IeTracesSection::AddFoundFile(IeFoundFile& file) {
    pendingLabel_ = file.FullName();
    deletedFiles.Add(TextRow{{file.section, file.fileName, file.folder}, true});
    found_.push_back(std::move(file));
}

void IeTracesSection::BeforeChannelBatch() {
    if (!filesBatch_) {
        filesBatch_.emplace(deletedFiles);
    }
}

void IeTracesSection::AfterChannelBatch() {
    // The batch holding the terminate event, or any batch outside a search, shows everything.
    if (!IeScanThread.Running()) {
        filesBatch_.reset();
    }
    // Only the last file of a batch could ever be seen: the label is set once per batch.
    if (pendingLabel_) {
        lblDeleting.SetText(*pendingLabel_);
        pendingLabel_.reset();
    }
}

void IeTracesSection::btnTempScanClick() {
    IeScanThread.Start();  // does nothing while a search runs
}

void IeTracesSection::IeScanThreadStart() {
    scanMarks_ = Marks();
    scanFolders_ = folders_();
    skipped_.clear();
    found_.clear();
    deletedFiles.Clear();
    // Neither a second search nor a cleanup of a half-listed search while this one runs.
    SetActionsEnabled(false);
}

void IeTracesSection::IeScanThreadExecute(WorkerRun& run) {
    CallGatherer<IeFoundFile> files(channel_.Poster(), [this](std::vector<IeFoundFile>& found) {
        for (IeFoundFile& file : found) {
            AddFoundFile(file);
        }
    });
    IeScanResult result = ScanIeTraces(
        scanMarks_, scanFolders_, [&files](const IeFoundFile& file) { files.Gather(file); },
        [&files, &run] {
            files.FlushIfDue();
            return run.StopRequested();
        });
    skipped_ = std::move(result.skipped);
}

void IeTracesSection::IeScanThreadTerminate() {
    if (!host_.WindowOpen()) {
        return;  // the window went first
    }
    SetActionsEnabled(true);
    if (skipped_.empty()) {
        return;
    }
    // A search without a folder to start from is not run at all, rather than from the root
    // of a drive; the user hears which, since finding nothing there is not "clean".
    std::wstring text = L"These searches were not run:\n";
    for (const IeSkippedSearch& skipped : skipped_) {
        text +=
            L"\n" + std::wstring(IeSearchRuleOf(skipped.search).section) + L": " + skipped.reason;
    }
    host_.Dialogs().ShowError(text);
}

void IeTracesSection::btnCleanIEClick() {
    if (SearchRunning()) {
        return;  // the button is disabled meanwhile
    }
    // Unchecked rows are spared: the check boxes say which files go.
    std::vector<IeFoundFile> checked;
    for (size_t row : deletedFiles.CheckedRows()) {
        checked.push_back(found_.at(row));
    }
    const IeCleanupResult result = CleanIeTraces(Marks(), checked);
    found_.clear();
    deletedFiles.Clear();
    // A file that could not be deleted (in use, already gone) is passed over; a registry
    // action the user asked for that failed is told, rather than hidden behind "finished".
    std::wstring failures;
    for (const IeActionResult& action : result.actions) {
        if (action.error) {
            failures += L"\n" + std::wstring(kIeTraceActions.at(action.action).caption) + L": " +
                        *action.error;
        }
    }
    if (!failures.empty()) {
        host_.Dialogs().ShowError(L"Not done:\n" + failures);
    }
    host_.Dialogs().ShowInformation(kFinishedMessage, kFinishedCaption);
}

}  // namespace kestrova
