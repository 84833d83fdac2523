#pragma once
// "IE Traces Cleaning": the seven fixed cleaning actions, the files their searches find (on a
// worker of the section, so a large cache never holds up the window), and the cleanup of the
// checked files and the chosen registry actions.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/list_tools.h"
#include "app/section.h"
#include "managers/ie_traces.h"
#include "platform/list_model.h"
#include "platform/ui_channel.h"
#include "platform/ui_controls.h"
#include "platform/ui_list_view.h"
#include "platform/worker_thread.h"

namespace kestrova {

class IeTracesSection final : public Section {
public:
    // Where the searches start, asked afresh at each Start Scan.
    using FolderSource = std::function<IeFolders()>;

    explicit IeTracesSection(SectionHost& host);

    void Build(Panel& page) override;
    void Closing() override;

    // Tests search folders of their own instead of the user's.
    void UseFolders(FolderSource source) { folders_ = std::move(source); }
    // From Start Scan until the search's end has reached the window.
    bool SearchRunning() const { return IeScanThread.Running(); }

    TextRows actions;  // the seven fixed actions; their marks are kept for the whole run
    TextRows deletedFiles;
    VirtualListView lvIE;
    VirtualListView lvDeletedFiles;
    ListTools lvDeletedFilesTools;  // filter, count and export above the list
    GroupBox gbControlPanel;
    Label lblDeleting;
    Button btnTempScan;
    Button btnCleanIE;
    Button btnCheckIE;
    Button btnUncheckIE;

private:
    IeActionMarks Marks() const;
    void SetActionsEnabled(bool enabled);
    void AddFoundFile(IeFoundFile& file);
    void BeforeChannelBatch();
    void AfterChannelBatch();
    void btnTempScanClick();
    void btnCleanIEClick();
    void IeScanThreadStart();
    void IeScanThreadExecute(WorkerRun& run);
    void IeScanThreadTerminate();

    FolderSource folders_;
    // The found files, one per row of deletedFiles and in the same order.
    std::vector<IeFoundFile> found_;
    // What the run in progress searches, taken on the window thread at its start.
    IeActionMarks scanMarks_{};
    IeFolders scanFolders_;
    // Written by the worker before its run ends, read by the terminate event.
    std::vector<IeSkippedSearch> skipped_;
    // Files arriving during a search reach the list view with one notice per update interval
    // of the worker, and the rest at the search's end; the label shows the last one listed.
    std::optional<ListModel::Batch> filesBatch_;
    std::optional<std::wstring> pendingLabel_;
    // Declared last: the worker is stopped and waited for first, while everything its queued
    // items reach still exists.
    UiChannel channel_;
    WorkerThread IeScanThread{channel_};
};

}  // namespace kestrova
