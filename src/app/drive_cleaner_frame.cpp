#include "app/drive_cleaner_frame.h"

#include <shellapi.h>

#include <algorithm>
#include <initializer_list>
#include <iterator>

#include "app/page_layout.h"
#include "platform/dialogs.h"
#include "platform/error.h"
#include "platform/file_paths.h"
#include "platform/ui_keyboard.h"
#include "platform/worker_thread.h"
#include "tools/drive_cleaner_captions.h"

namespace kestrova {

using namespace layout;

namespace {

constexpr int kLabelHeight = 15;
constexpr int kEditHeight = 21;
constexpr int kBoxTop = 16;   // room for a group box's caption
constexpr int kBoxInset = 8;  // a group box's inner margin
// Shown at most in the message about files that could not be deleted.
constexpr size_t kFailuresNamed = 20;

const std::wstring& ExcludeCell(const ExcludeItem& item, size_t column) {
    static const std::wstring kFile = ExcludeKindText(ExcludeKind::File);
    static const std::wstring kFolder = ExcludeKindText(ExcludeKind::Folder);
    static const std::wstring empty;
    if (column == 0) {
        return item.path;
    }
    return column == 1 ? (item.kind == ExcludeKind::Folder ? kFolder : kFile) : empty;
}

const std::wstring& FileTypeCell(const FileType& type, size_t column) {
    static const std::wstring empty;
    return column == 0 ? type.caption : column == 1 ? type.extensions : empty;
}

const std::wstring& ResultCell(const JunkFileRow& row, size_t column) {
    static const std::wstring empty;
    switch (column) {
        case 0:
            return row.path;
        case 1:
            return row.sizeText;
        case 2:
            return row.dateTimeText;
        default:
            return empty;
    }
}

// "File Size" sorts by bytes and "File DateTime" by the time, not by their texts.
std::optional<double> ResultNumber(const JunkFileRow& row, size_t column) {
    switch (column) {
        case 1:
            return static_cast<double>(row.size);
        case 2:
            return static_cast<double>(row.writeTime);
        default:
            return std::nullopt;
    }
}

// The folder in the system's file browser, as the user's double-click asks.
void OpenInFileBrowser(const std::wstring& folder) {
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", folder.c_str(), nullptr, nullptr, SW_SHOWDEFAULT));
    if (result <= 32) {
        throw Error(L"The folder " + folder + L" could not be opened: " +
                    SystemErrorText(GetLastError()));
    }
}

// Creates the buttons right-aligned so the last one ends at right.
void PlaceButtonsRight(Panel& page, int right, int y, std::initializer_list<ButtonEntry> buttons) {
    int width = 0;
    for (const ButtonEntry& entry : buttons) {
        width += ButtonWidth(page, entry.caption) + kGap;
    }
    PlaceButtonRow(page, right - width + kGap, y, buttons, kAnchorBottomRight);
}

int WidestButton(const Panel& page, std::initializer_list<const wchar_t*> captions) {
    int width = 0;
    for (const wchar_t* caption : captions) {
        width = std::max(width, ButtonWidth(page, caption));
    }
    return width;
}

}  // namespace

TDriveCleanerFrame::TDriveCleanerFrame(SectionHost& host)
    : Section(host),
      excludes(ExcludeCell),
      fileTypes(FileTypeCell),
      results(ResultCell, ResultNumber),
      driveSource_(ListDrives),
      folderOpener_(OpenInFileBrowser) {
    const auto& defaults = DefaultFileTypes();
    fileTypes.Assign(std::vector<FileType>(defaults.begin(), defaults.end()));

    channel_.SetBatchHooks(
        [this] {
            if (Searching() && !resultsBatch_) {
                resultsBatch_.emplace(results);
            }
        },
        nullptr);
    channel_.SetErrorHandler(
        [this](std::exception_ptr error) { host_.ReportError(ErrorText(error)); });

    FindFile1.threaded = true;
    FindFile1.onSearchBegin = [this](FindFile&) { FindFile1SearchBegin(); };
    FindFile1.onFolderChange = [this](FindFile&, const std::wstring& folder, FolderIgnore& ignore) {
        FindFile1FolderChange(folder, ignore);
    };
    FindFile1.onFileMatch = [this](FindFile&, const std::wstring& folder, const FoundFile& entry) {
        FindFile1FileMatch(folder, entry);
    };
    FindFile1.onSearchAbort = [this](FindFile&) { FindFile1SearchAbort(); };
    FindFile1.onSearchFinish = [this](FindFile&) { FindFile1SearchFinish(); };
    // On the search thread, just before it ends: behind everything the search found.
    FindFile1.deliverFinish = [this, poster = channel_.Poster()](std::function<void()> step) {
        gatherer_->Flush();
        poster.Post(std::move(step));
    };
}

void TDriveCleanerFrame::Build(Panel& page) {
    pcMain.Create(page, PageArea(page), true);
    pcMain.Anchor(kAnchorAll);
    BuildDrivesPage(pcMain.AddPage(kDrivesTabCaption));
    BuildExtensionsPage(pcMain.AddPage(kExtensionsTabCaption));
    BuildSearchPage(pcMain.AddPage(kSearchTabCaption));
    pcMain.ShowPage(kDrivesPage);
}

void TDriveCleanerFrame::BuildDrivesPage(Panel& page) {
    const Bounds area = PageArea(page);
    const int buttonsTop = area.Bottom() - kButtonHeight;
    PlaceButtonRow(page, area.x, buttonsTop, {{&btnRefresh, kRefreshDrivesCaption}});
    PlaceButtonsRight(page, area.Right(), buttonsTop,
                      {{&btnNextToExtensions, kNextToExtensionsCaption}});

    const int drivesHeight = (buttonsTop - area.y) * 2 / 5;
    lvDrives.Create(page, drives, Bounds{area.x, area.y, area.width, drivesHeight},
                    {{kDriveColumn, kAutoWidth}, {kDiskSizeColumn, 110}, {kDiskFreeColumn, 110}});
    lvDrives.Anchor(kAnchorTopWide);

    const int boxTop = area.y + drivesHeight + kGap;
    const Bounds box{area.x, boxTop, area.width, buttonsTop - kGap - boxTop};
    gbExcludes.Create(page, kExcludesGroupCaption, box);
    gbExcludes.Anchor(kAnchorAll);
    const int buttonWidth = WidestButton(page, {kAddExcludeFolderCaption, kAddExcludeFileCaption,
                                                kDeleteExcludeCaption, kSelectAllExcludeCaption});
    const int buttonX = box.Right() - kBoxInset - buttonWidth;
    const int innerTop = box.y + kBoxTop;
    const int innerHeight = box.Bottom() - kBoxInset - innerTop;
    const int step = std::min(kButtonHeight + 4, (innerHeight - kButtonHeight) / 3);
    Button* const column[] = {&btnAddExcludeFolder, &btnAddExcludeFile, &btnDeleteExclude,
                              &btnSelectAllExclude};
    const wchar_t* const captions[] = {kAddExcludeFolderCaption, kAddExcludeFileCaption,
                                       kDeleteExcludeCaption, kSelectAllExcludeCaption};
    for (size_t i = 0; i < std::size(column); ++i) {
        column[i]->Create(
            page, captions[i],
            Bounds{buttonX, innerTop + static_cast<int>(i) * step, buttonWidth, kButtonHeight});
        column[i]->Anchor(kAnchorTopRight);
    }
    ListViewOptions options;
    options.checkBoxes = false;
    options.multiSelect = true;
    const int listX = box.x + kBoxInset;
    lvExcludes.Create(page, excludes, Bounds{listX, innerTop, buttonX - kGap - listX, innerHeight},
                      {{kExcludeItemColumn, kAutoWidth}, {kExcludeTypeColumn, 60}}, options);
    // Tab: the lists top to bottom, the buttons beside the excludes, then the bottom row.
    SetTabOrder({lvDrives.Handle(), gbExcludes.Handle(), lvExcludes.Handle(),
                 btnAddExcludeFolder.Handle(), btnAddExcludeFile.Handle(),
                 btnDeleteExclude.Handle(), btnSelectAllExclude.Handle(), btnRefresh.Handle(),
                 btnNextToExtensions.Handle()});
    lvExcludes.Anchor(kAnchorAll);

    btnRefresh.OnClick(page, [this] { btnRefreshClick(); });
    btnNextToExtensions.OnClick(page, [this] { btnNextToExtensionsClick(); });
    btnAddExcludeFolder.OnClick(page, [this] { btnAddExcludeFolderClick(); });
    btnAddExcludeFile.OnClick(page, [this] { btnAddExcludeFileClick(); });
    btnDeleteExclude.OnClick(page, [this] { btnDeleteExcludeClick(); });
    btnSelectAllExclude.OnClick(page, [this] { lvExcludes.SelectAll(); });
}

void TDriveCleanerFrame::BuildExtensionsPage(Panel& page) {
    const Bounds area = PageArea(page);
    const Bounds box{area.x, area.y, area.width, kBoxTop + 2 * kButtonHeight + 4 + kBoxInset};
    gbExtensions.Create(page, kAddExtensionsGroupCaption, box);
    gbExtensions.Anchor(kAnchorTopWide);
    const int labelWidth =
        std::max(TextWidth(page, kFileTypeLabel), TextWidth(page, kExtensionsLabel)) + kGap;
    const int buttonWidth = WidestButton(page, {kSearchTypeCaption, kAddTypeCaption});
    const int labelX = box.x + kBoxInset;
    const int editX = labelX + labelWidth;
    const int buttonX = box.Right() - kBoxInset - buttonWidth;
    const int editWidth = buttonX - kGap - editX;
    struct Line {
        Label* label;
        const wchar_t* labelText;
        Edit* edit;
        const wchar_t* editText;
        Button* button;
        const wchar_t* caption;
    };
    const Line lines[] = {
        {&lblFileType, kFileTypeLabel, &txtFileType, L"", &btnSearch, kSearchTypeCaption},
        {&lblExtensions, kExtensionsLabel, &txtExtensions, kExtensionsInitialText, &btnAdd,
         kAddTypeCaption},
    };
    int y = box.y + kBoxTop;
    for (const Line& line : lines) {
        line.label->Create(
            page, line.labelText,
            Bounds{labelX, y + (kButtonHeight - kLabelHeight) / 2, labelWidth, kLabelHeight});
        line.edit->Create(
            page, line.editText,
            Bounds{editX, y + (kButtonHeight - kEditHeight) / 2, editWidth, kEditHeight});
        line.button->Create(page, line.caption, Bounds{buttonX, y, buttonWidth, kButtonHeight});
        line.edit->Anchor(kAnchorTopWide);
        line.button->Anchor(kAnchorTopRight);
        y += kButtonHeight + 4;
    }

    const int buttonsTop = area.Bottom() - kButtonHeight;
    PlaceButtonRow(page, area.x, buttonsTop,
                   {{&btnDeleteExtensions, kDeleteExtensionsCaption},
                    {&btnCheckAllExtensions, kCheckAllExtensionsCaption}});
    PlaceButtonsRight(page, area.Right(), buttonsTop,
                      {{&btnBack, kBackCaption}, {&btnNextToSearch, kGoSearchCaption}});
    const int listTop = box.Bottom() + kGap;
    lvFileType.Create(page, fileTypes,
                      Bounds{area.x, listTop, area.width, buttonsTop - kGap - listTop},
                      {{kFileTypeColumn, 230}, {kExtensionsColumn, kAutoWidth}});
    SetTabOrder({btnAdd.Handle(), lvFileType.Handle()});  // the list before the bottom row
    lvFileType.Anchor(kAnchorAll);

    btnSearch.OnClick(page, [this] { btnSearchClick(); });
    btnAdd.OnClick(page, [this] { btnAddClick(); });
    btnDeleteExtensions.OnClick(page, [this] { btnDeleteExtensionsClick(); });
    btnCheckAllExtensions.OnClick(page, [this] { btnCheckAllExtensionsClick(); });
    btnBack.OnClick(page, [this] { pcMain.ShowPage(kDrivesPage); });
    btnNextToSearch.OnClick(page, [this] { btnNextToSearchClick(); });
}

void TDriveCleanerFrame::BuildSearchPage(Panel& page) {
    const Bounds area = PageArea(page);
    lblSummary.Create(page, kSummaryLabel, Bounds{area.x, area.y, area.width, kLabelHeight});
    lblSummary.Anchor(kAnchorTopWide);
    const int memoTop = area.y + kLabelHeight + 1;
    mSummary.Create(page, {}, Bounds{area.x, memoTop, area.width, 52}, true, true);
    mSummary.Anchor(kAnchorTopWide);

    const int buttonsTop = area.Bottom() - kButtonHeight;
    PlaceButtonRow(page, area.x, buttonsTop,
                   {{&btnStop, kStopCaption, false},
                    {&btnDeleteFiles, kDeleteFilesCaption},
                    {&btnCheckAllFiles, kCheckAllFilesCaption}});
    PlaceButtonsRight(
        page, area.Right(), buttonsTop,
        {{&btnBackToExtensions, kBackToExtensionsCaption}, {&btnSearchAgain, kSearchAgainCaption}});
    const int labelTop = buttonsTop - 4 - kLabelHeight;
    lblFileFound.Create(page, kFileFoundInitial,
                        Bounds{area.x, labelTop, area.width, kLabelHeight});
    lblFileFound.Anchor(kAnchorBottomWide);
    const int listTop = memoTop + 52 + kGap;
    lvSearchResult.Create(
        page, results, Bounds{area.x, listTop, area.width, labelTop - 3 - listTop},
        {{kFileNameColumn, kAutoWidth}, {kFileSizeColumn, 80}, {kFileDateTimeColumn, 130}});
    SetTabOrder({mSummary.Handle(), lvSearchResult.Handle()});  // the list before the buttons
    lvSearchResultTools.Create(page, lvSearchResult, host_.Dialogs(), L"Drive Cleaner Results");

    btnStop.OnClick(page, [this] { btnStopClick(); });
    btnDeleteFiles.OnClick(page, [this] { btnDeleteFilesClick(); });
    btnCheckAllFiles.OnClick(page, [this] { results.SetAllChecked(true); });
    btnBackToExtensions.OnClick(page, [this] { pcMain.ShowPage(kExtensionsPage); });
    btnSearchAgain.OnClick(page, [this] { btnSearchAgainClick(); });
    lvSearchResult.OnDoubleClick([this] { lvSearchResultDblClick(); });
}

void TDriveCleanerFrame::Created() {
    pcMain.ShowPage(kDrivesPage);
    btnRefreshClick();
    btnCheckAllExtensionsClick();
}

void TDriveCleanerFrame::Closing() {
    skipRest_ = true;
}

CleanerSelection TDriveCleanerFrame::Selection() const {
    CleanerSelection selection;
    for (size_t row : drives.CheckedRows()) {
        selection.locations.push_back(drives.CellText(row, 0));
    }
    selection.excludes = excludes.Records();
    for (size_t row : fileTypes.CheckedRows()) {
        selection.extensions.push_back(fileTypes.At(row).extensions);
    }
    return selection;
}

// --- Page "Drives".

void TDriveCleanerFrame::btnRefreshClick() {
    const std::vector<DriveInfo> found = driveSource_();
    ListModel::Batch batch(drives);
    drives.Clear();
    for (const DriveInfo& drive : found) {
        drives.Add(
            TextRow{{drive.root, MegabytesText(drive.totalBytes), MegabytesText(drive.freeBytes)}});
    }
}

void TDriveCleanerFrame::btnAddExcludeFolderClick() {
    if (const auto folder = host_.Dialogs().BrowseFolder(kSelectFolderTitle)) {
        excludes.Add(ExcludeItem{*folder, ExcludeKind::Folder});
    }
}

void TDriveCleanerFrame::btnAddExcludeFileClick() {
    FileDialogOptions options;
    options.filter = kAllFilesFilter;
    if (const auto file = host_.Dialogs().OpenFile(options)) {
        excludes.Add(ExcludeItem{*file, ExcludeKind::File});
    }
}

void TDriveCleanerFrame::btnDeleteExcludeClick() {
    excludes.Remove(lvExcludes.SelectedRows());
    // The control keeps selections by index: left alone they would fall on the rows after.
    lvExcludes.ClearSelection();
}

void TDriveCleanerFrame::btnNextToExtensionsClick() {
    if (drives.CheckedRows().empty()) {
        host_.Dialogs().ShowError(kChooseDriveMessage);
        return;
    }
    pcMain.ShowPage(kExtensionsPage);
}

// --- Page "Extensions".

void TDriveCleanerFrame::btnAddClick() {
    const std::wstring type = txtFileType.Text();
    const std::wstring extensions = txtExtensions.Text();
    if (type.empty() || extensions.empty()) {
        host_.Dialogs().ShowError(kEnterFileTypeMessage);
        return;
    }
    fileTypes.Add(FileType{type, extensions});
}

void TDriveCleanerFrame::btnSearchClick() {
    if (const auto row = FindFileTypeRow(fileTypes.Records(), txtFileType.Text())) {
        lvFileType.Select(*row);
    }
}

void TDriveCleanerFrame::btnDeleteExtensionsClick() {
    fileTypes.Remove(fileTypes.CheckedRows());
}

void TDriveCleanerFrame::btnCheckAllExtensionsClick() {
    fileTypes.SetAllChecked(true);
}

void TDriveCleanerFrame::btnNextToSearchClick() {
    if (fileTypes.CheckedRows().empty()) {
        host_.Dialogs().ShowError(kChooseExtensionMessage);
        return;
    }
    pcMain.ShowPage(kSearchPage);
    mSummary.SetText(CleanerSummary(Selection()));
}

// --- Page "Search".

void TDriveCleanerFrame::btnSearchAgainClick() {
    if (Searching()) {
        return;  // stopped, and its end is still on the way
    }
    results.Clear();
    SearchCriteria criteria;
    criteria.files = CleanerFileCriteria(Selection());
    FindFile1.SetCriteria(criteria);
    gatherer_.emplace(channel_.Poster(),
                      [this](std::vector<SearchCall>& calls) { ReceiveSearchCalls(calls); });
    skipRest_ = false;
    FindFile1.Execute();
}

void TDriveCleanerFrame::btnStopClick() {
    FindFile1.Abort();
}

void TDriveCleanerFrame::btnDeleteFilesClick() {
    const std::vector<size_t> checked = results.CheckedRows();
    if (checked.empty()) {
        return;
    }
    std::vector<JunkFileRow> rows = results.Release();
    for (JunkFileRow& row : rows) {
        row.deleteFailed = false;
    }
    const std::vector<FileDeletion> deletions = DeleteJunkRows(rows, checked);
    // The rows left of the checked ones are those whose file is still there: they stay checked.
    std::vector<bool> marks;
    marks.reserve(rows.size());
    for (const JunkFileRow& row : rows) {
        marks.push_back(row.deleteFailed);
    }
    results.Assign(std::move(rows), marks);

    std::wstring failures;
    size_t failed = 0;
    for (auto deletion = deletions.rbegin(); deletion != deletions.rend(); ++deletion) {
        if (!deletion->deleted && ++failed <= kFailuresNamed) {
            failures += L"\r\n" + deletion->path + L": " + deletion->error;
        }
    }
    if (failed > kFailuresNamed) {
        failures += L"\r\n... and " + std::to_wstring(failed - kFailuresNamed) + L" more";
    }
    if (failed > 0) {
        host_.Dialogs().ShowError(L"These files could not be deleted:\r\n" + failures);
    }
}

void TDriveCleanerFrame::lvSearchResultDblClick() {
    const int row = lvSearchResult.SelectedIndex();
    if (row >= 0 && static_cast<size_t>(row) < results.RowCount()) {
        folderOpener_(FolderOf(results.At(static_cast<size_t>(row)).path));
    }
}

// --- The search's events.

void TDriveCleanerFrame::FindFile1SearchBegin() {
    btnSearchAgain.SetEnabled(false);
    btnStop.SetEnabled(true);
    stopped_ = false;
    pendingFolder_.reset();
    updateTimer_ =
        channel_.StartTimer(WorkerThread::kUpdateIntervalMs, [this] { ShowSearchProgress(); });
}

void TDriveCleanerFrame::FindFile1FolderChange(const std::wstring& folder, FolderIgnore& ignore) {
    if (skipRest_) {
        ignore = FolderIgnore::ThisAndSubfolders;
        return;
    }
    gatherer_->Gather(FolderEntered{folder});
}

void TDriveCleanerFrame::FindFile1FileMatch(const std::wstring& folder, const FoundFile& entry) {
    if (!skipRest_) {
        gatherer_->Gather(MakeJunkFileRow(folder, entry));
    }
}

void TDriveCleanerFrame::ReceiveSearchCalls(std::vector<SearchCall>& calls) {
    for (SearchCall& call : calls) {
        if (JunkFileRow* row = std::get_if<JunkFileRow>(&call)) {
            results.Add(std::move(*row));
        } else if (!stopped_) {
            pendingFolder_ = kFolderPrefix + std::get<FolderEntered>(call).folder;
        }
    }
}

void TDriveCleanerFrame::ShowSearchProgress() {
    resultsBatch_.reset();
    if (pendingFolder_) {
        lblFileFound.SetText(*pendingFolder_);
        pendingFolder_.reset();
    }
}

void TDriveCleanerFrame::FindFile1SearchAbort() {
    stopped_ = true;
    pendingFolder_.reset();
    lblFileFound.SetText(kUserBreak);
    btnSearchAgain.SetEnabled(true);
    btnStop.SetEnabled(false);
}

void TDriveCleanerFrame::FindFile1SearchFinish() {
    if (updateTimer_) {
        channel_.StopTimer(updateTimer_);
        updateTimer_ = 0;
    }
    resultsBatch_.reset();
    pendingFolder_.reset();
    if (!host_.WindowOpen()) {
        return;  // the window went first
    }
    lblFileFound.SetText(kSearchDone);
    btnSearchAgain.SetEnabled(true);
    btnStop.SetEnabled(false);
}

}  // namespace kestrova
