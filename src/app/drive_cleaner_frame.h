#pragma once
// The More Tools page "Drive Cleaner": junk files found on chosen drives by name masks, and
// deleted. Three pages: the drives with the excludes, the kinds of files, and the search with
// its results. The search runs on the engine's own thread; what it finds reaches the window
// thread through the page's own channel, gathered, and the result list hears of new rows once
// per update interval.

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "app/call_gatherer.h"
#include "app/record_rows.h"
#include "app/list_tools.h"
#include "app/section.h"
#include "platform/list_model.h"
#include "platform/ui_channel.h"
#include "platform/ui_controls.h"
#include "platform/ui_list_view.h"
#include "platform/ui_page_control.h"
#include "tools/drive_cleaner.h"
#include "tools/find_file.h"

namespace kestrova {

class TDriveCleanerFrame final : public Section {
public:
    // The drives "&Refresh" lists; tests put folders of their own in their place.
    using DriveSource = std::function<std::vector<DriveInfo>()>;
    // Opens a folder in the system's file browser.
    using FolderOpener = std::function<void(const std::wstring& folder)>;

    // The pages of pcMain.
    static constexpr size_t kDrivesPage = 0;
    static constexpr size_t kExtensionsPage = 1;
    static constexpr size_t kSearchPage = 2;

    explicit TDriveCleanerFrame(SectionHost& host);

    void Build(Panel& page) override;
    // InitFrame: the drives listed, every file type checked.
    void Created() override;
    // A running search is told to skip the rest of its folders; destroying the page waits.
    void Closing() override;

    void UseDriveSource(DriveSource source) { driveSource_ = std::move(source); }
    void UseFolderOpener(FolderOpener opener) { folderOpener_ = std::move(opener); }
    // From "Search &Again" until the search's finish has reached the page.
    bool Searching() const { return FindFile1.Busy(); }

    PageControl pcMain;

    // Page "Drives".
    TextRows drives;                   // "Drive", "Disk Size", "Disk Free"
    RecordRows<ExcludeItem> excludes;  // "Item", "Type"
    VirtualListView lvDrives;
    GroupBox gbExcludes;
    VirtualListView lvExcludes;
    Button btnAddExcludeFolder;
    Button btnAddExcludeFile;
    Button btnDeleteExclude;
    Button btnSelectAllExclude;
    Button btnRefresh;
    Button btnNextToExtensions;

    // Page "Extensions".
    GroupBox gbExtensions;
    Label lblFileType;
    Edit txtFileType;
    Label lblExtensions;
    Edit txtExtensions;
    Button btnSearch;
    Button btnAdd;
    RecordRows<FileType> fileTypes;  // "File Type", "Extensions"
    VirtualListView lvFileType;
    Button btnDeleteExtensions;
    Button btnCheckAllExtensions;
    Button btnBack;
    Button btnNextToSearch;

    // Page "Search".
    Label lblSummary;
    Memo mSummary;
    RecordRows<JunkFileRow> results;  // "File Name", "File Size", "File DateTime"
    VirtualListView lvSearchResult;
    ListTools lvSearchResultTools;  // filter, count and export above the list
    Label lblFileFound;
    Button btnStop;
    Button btnDeleteFiles;
    Button btnCheckAllFiles;
    Button btnBackToExtensions;
    Button btnSearchAgain;

private:
    // What the search thread hands to the window thread: a folder entered or a file found.
    struct FolderEntered {
        std::wstring folder;
    };
    using SearchCall = std::variant<FolderEntered, JunkFileRow>;

    void BuildDrivesPage(Panel& page);
    void BuildExtensionsPage(Panel& page);
    void BuildSearchPage(Panel& page);
    // The choices of the three pages as they stand.
    CleanerSelection Selection() const;

    void btnRefreshClick();
    void btnAddExcludeFolderClick();
    void btnAddExcludeFileClick();
    void btnDeleteExcludeClick();
    void btnNextToExtensionsClick();
    void btnAddClick();
    void btnSearchClick();
    void btnDeleteExtensionsClick();
    void btnCheckAllExtensionsClick();
    void btnNextToSearchClick();
    void btnSearchAgainClick();
    void btnStopClick();
    void btnDeleteFilesClick();
    void lvSearchResultDblClick();

    void FindFile1SearchBegin();
    void FindFile1FolderChange(const std::wstring& folder, FolderIgnore& ignore);
    void FindFile1FileMatch(const std::wstring& folder, const FoundFile& entry);
    void FindFile1SearchAbort();
    void FindFile1SearchFinish();
    // Window thread: the calls of one post, in the order the search made them.
    void ReceiveSearchCalls(std::vector<SearchCall>& calls);
    // Window thread, every update interval of a search: new rows and the folder reach the view.
    void ShowSearchProgress();

    DriveSource driveSource_;
    FolderOpener folderOpener_;
    // Rows arriving during a search reach the list view once per update interval.
    std::optional<ListModel::Batch> resultsBatch_;
    // The folder the label shows at the next update.
    std::optional<std::wstring> pendingFolder_;
    // Set by a stop: folders still on their way no longer change the label.
    bool stopped_ = false;
    UINT_PTR updateTimer_ = 0;
    // Set when the window closes: the running search skips what is left. The next search
    // clears it, so a window kept open by a failed save still searches.
    std::atomic<bool> skipRest_{false};
    // Used by the search thread during a run; made afresh for each search.
    std::optional<CallGatherer<SearchCall>> gatherer_;
    // Declared last: the search is stopped and waited for first, while the channel and
    // everything its queued calls reach still exist.
    UiChannel channel_;
    FindFile FindFile1;
};

}  // namespace kestrova
