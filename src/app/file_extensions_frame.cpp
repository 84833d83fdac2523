#include "app/file_extensions_frame.h"

#include <algorithm>

#include "app/page_layout.h"
#include "app/call_gatherer.h"
#include "platform/dialogs.h"
#include "platform/error.h"
#include "tools/association_search.h"

namespace kestrova {

using namespace layout;

namespace {

constexpr wchar_t kBackupFilter[] = L"Registry Backup (*.dat)|*.dat";
constexpr int kPanelHeight = 100;
constexpr int kSmallGap = 4;

}  // namespace

TfrmFileAssociator::TfrmFileAssociator(SectionHost& host) : Section(host) {
    channel_.SetBatchHooks([this] { BeforeChannelBatch(); }, [this] { AfterChannelBatch(); });
    channel_.SetErrorHandler(
        [this](std::exception_ptr error) { host_.ReportError(ErrorText(error)); });
    bmdReadAssociations.onStart = [this](WorkerThread&, WorkerRun&, void*) {
        bmdReadAssociationsStart();
    };
    bmdReadAssociations.onExecute = [this](WorkerThread&, WorkerRun& run, void*) {
        bmdReadAssociationsExecute(run);
    };
    bmdReadAssociations.onTerminate = [this](WorkerThread&, WorkerRun&, void*) {
        bmdReadAssociationsTerminate();
    };
    // Each update of the list view costs about as much as painting it: during a read it hears
    // of its new rows once per update interval, not after every batch of the channel.
    bmdReadAssociations.SetUpdatesEnabled(true);
    bmdReadAssociations.onUpdate = [this](WorkerThread&, WorkerRun&, void*) { rowsBatch_.reset(); };
}

void TfrmFileAssociator::Build(Panel& page) {
    page_ = &page;
    const Bounds area = PageArea(page);
    gbPanel.Create(page, L"Panel", Bounds{area.x, area.y, area.width, kPanelHeight});
    gbPanel.Anchor(kAnchorTopWide);
    const int left = area.x + 10;
    const int inner = area.width - 20;

    // The six buttons share the panel's width.
    Button* const buttons[] = {&btnRefresh, &btnDelete, &btnBackup,
                               &btnRestore, &btnAdd,    &btnChange};
    const wchar_t* const captions[] = {L"&Refresh", L"&Delete", L"&Backup",
                                       L"&Restore", L"&Add",    L"&Change"};
    const int count = static_cast<int>(std::size(buttons));
    const int buttonWidth = (inner - (count - 1) * kSmallGap) / count;
    for (int i = 0; i < count; ++i) {
        buttons[i]->Create(
            page, captions[i],
            Bounds{left + i * (buttonWidth + kSmallGap), area.y + 16, buttonWidth, kButtonHeight});
    }
    prgbarExtensions.Create(page, Bounds{left, area.y + 16 + kButtonHeight + kGap, inner, 14});
    prgbarExtensions.Anchor(kAnchorTopWide);

    const int searchTop = area.y + 16 + kButtonHeight + kGap + 14 + kGap;
    const int byWidth = TextWidth(page, L"Search &By:") + 4;
    lblSearchBy.Create(page, L"Search &By:", Bounds{left, searchTop + 4, byWidth, 14});
    const int comboLeft = left + byWidth;
    cboSearchBy.Create(page, {L"Extension", L"Description", L"Path", L"Icon"},
                       Bounds{comboLeft, searchTop, 90, 21});
    const int keywordLeft = comboLeft + 90 + kGap;
    const int keywordWidth = TextWidth(page, L"Search &Keyword:") + 4;
    const int searchWidth = 75;
    const int editLeft = keywordLeft + keywordWidth;
    const int editWidth = left + inner - searchWidth - kGap - editLeft;
    lblSearch.Create(page, L"Search &Keyword:",
                     Bounds{keywordLeft, searchTop + 4, keywordWidth, 14},
                     Bounds{editLeft, searchTop, editWidth, 21});
    btnSearch.Create(page, L"&Search",
                     Bounds{left + inner - searchWidth, searchTop - 1, searchWidth, 23});
    lblSearch.Anchor(kAnchorTopWide);
    btnSearch.Anchor(kAnchorTopRight);

    const int listTop = area.y + kPanelHeight + kGap;
    ListViewOptions options;
    options.checkBoxes = false;
    lvExtensions.Create(page, rows, Bounds{area.x, listTop, area.width, area.Bottom() - listTop},
                        {{L"File Extension", kAutoWidth},
                         {L"Description", kAutoWidth},
                         {L"File Path", kAutoWidth},
                         {L"File Icon", kAutoWidth}},
                        options);
    lvExtensionsTools.Create(page, lvExtensions, host_.Dialogs(), L"File Extensions");

    btnRefresh.OnClick(page, [this] { btnRefreshClick(); });
    btnDelete.OnClick(page, [this] { btnDeleteClick(); });
    btnBackup.OnClick(page, [this] { btnBackupClick(); });
    btnRestore.OnClick(page, [this] { btnRestoreClick(); });
    btnAdd.OnClick(page, [this] { btnAddClick(); });
    btnChange.OnClick(page, [this] { btnChangeClick(); });
    btnSearch.OnClick(page, [this] { btnSearchClick(); });
    // lblSearchKeyPress
    lblSearch.OnEnter(page, [this] { btnSearchClick(); });
    lvExtensions.OnDoubleClick([this] { btnChangeClick(); });
    lvExtensions.OnContextMenu([this](POINT at) { lvExtensionsContextMenu(at); });
    EventTable& events = page.Events();
    events.OnMenuCommand(ExtensionMenu::kDeleteCommand, [this] { btnDeleteClick(); });
    events.OnMenuCommand(ExtensionMenu::kBackupCommand, [this] { btnBackupClick(); });
    events.OnMenuCommand(ExtensionMenu::kRestoreCommand, [this] { btnRestoreClick(); });
    events.OnMenuCommand(ExtensionMenu::kAddCommand, [this] { btnAddClick(); });
    events.OnMenuCommand(ExtensionMenu::kChangeCommand, [this] { btnChangeClick(); });
    events.OnMenuCommand(ExtensionMenu::kRefreshCommand, [this] { btnRefreshClick(); });

    windowDialogs_ = std::make_unique<WindowExtensionDialogs>(GetAncestor(page.Handle(), GA_ROOT),
                                                              page.Font(), host_.Dialogs());
    extensionDialogs_ = windowDialogs_.get();
}

void TfrmFileAssociator::Created() {
    store_ = std::make_shared<TFileAssociator>(options_);
}

void TfrmFileAssociator::Closing() {
    readAgain_ = false;
    bmdReadAssociations.Stop();
    store_.reset();
}

void TfrmFileAssociator::SetStoreOptions(FileAssociatorOptions options) {
    options_ = std::move(options);
    if (store_) {
        store_ = std::make_shared<TFileAssociator>(options_);
    }
}

TFileAssociator& TfrmFileAssociator::Store() {
    if (!store_) {
        store_ = std::make_shared<TFileAssociator>(options_);
    }
    return *store_;
}

std::optional<size_t> TfrmFileAssociator::SelectedRow() const {
    const int selected = lvExtensions.SelectedIndex();
    if (selected < 0 || static_cast<size_t>(selected) >= rows.RowCount()) {
        return std::nullopt;
    }
    return static_cast<size_t>(selected);
}

void TfrmFileAssociator::lvExtensionsContextMenu(POINT at) {
    pmExtension.Show(page_->Handle(), at);
}

// A read still running is stopped and made again once it has ended: left to go on, it would
// fill the emptied list with the rest of its rows only.
void TfrmFileAssociator::btnRefreshClick() {
    rows.Clear();
    if (bmdReadAssociations.Running()) {
        readAgain_ = true;
        bmdReadAssociations.Stop();
        return;
    }
    bmdReadAssociations.Start();
}

void TfrmFileAssociator::bmdReadAssociationsStart() {
    Store();
    reading_ = store_;
}

void TfrmFileAssociator::bmdReadAssociationsExecute(WorkerRun& run) {
    CallGatherer<ReadCall> gathered(channel_.Poster(),
                                    [this](std::vector<ReadCall>& calls) { DeliverRead(calls); });
    AssociationReadEvents events;
    events.onReadBegin = [&gathered](int32_t count) { gathered.Gather(ReadBegin{count}); };
    events.onReadItem = [&gathered](const TExtInfo& info) { gathered.Gather(info); };
    events.onReadEnd = [&gathered] { gathered.Gather(ReadEnd{}); };
    events.stopRequested = [&gathered, &run] {
        gathered.FlushIfDue();
        return run.StopRequested();
    };
    reading_->ReadAll(events);
}

void TfrmFileAssociator::bmdReadAssociationsTerminate() {
    reading_.reset();
    if (readAgain_ && host_.WindowOpen()) {
        readAgain_ = false;
        rows.Clear();
        bmdReadAssociations.Start();
    }
}

void TfrmFileAssociator::DeliverRead(std::vector<ReadCall>& calls) {
    for (ReadCall& call : calls) {
        if (TExtInfo* info = std::get_if<TExtInfo>(&call)) {
            AssociatorReadItem(std::move(*info));
        } else if (const ReadBegin* begin = std::get_if<ReadBegin>(&call)) {
            AssociatorReadBegin(begin->count);
        } else {
            AssociatorReadEnd();
        }
    }
    // The progress bar repaints at once when its position changes (about a millisecond under
    // Wine): it moves to the last row of these calls, which the user sees just the same.
    if (pendingPosition_) {
        prgbarExtensions.SetPosition(*pendingPosition_);
        pendingPosition_.reset();
    }
}

void TfrmFileAssociator::AssociatorReadBegin(int32_t count) {
    pendingPosition_.reset();
    prgbarExtensions.SetPosition(0);
    prgbarExtensions.SetMaximum(count);
}

void TfrmFileAssociator::AssociatorReadItem(TExtInfo info) {
    pendingPosition_ = info.position;
    rows.Add(std::move(info));
}

void TfrmFileAssociator::BeforeChannelBatch() {
    if (!rowsBatch_) {
        rowsBatch_.emplace(rows);
    }
}

void TfrmFileAssociator::AfterChannelBatch() {
    // The batch holding the terminate event, or any batch outside a read, shows everything.
    if (!bmdReadAssociations.Running()) {
        rowsBatch_.reset();
    }
}

// No question first.
void TfrmFileAssociator::btnDeleteClick() {
    const auto row = SelectedRow();
    if (!row) {
        return;
    }
    Store().DeleteAssociation(rows.At(*row).extension);
    rows.Remove(*row);
    host_.Dialogs().ShowMessage(L"Deleted !");
}

// ".dat" is always appended to the name chosen.
void TfrmFileAssociator::btnBackupClick() {
    const auto row = SelectedRow();
    if (!row) {
        return;
    }
    FileDialogOptions options;
    options.filter = kBackupFilter;
    const auto chosen = host_.Dialogs().SaveFile(options);
    if (!chosen) {
        return;
    }
    const std::wstring fileName = *chosen + L".dat";
    Store().BackupAssociation(rows.At(*row).extension, fileName);
    host_.Dialogs().ShowMessage(L"Saved to: " + fileName);
}

// The list is not refreshed.
void TfrmFileAssociator::btnRestoreClick() {
    FileDialogOptions options;
    options.filter = kBackupFilter;
    const auto chosen = host_.Dialogs().OpenFile(options);
    if (!chosen) {
        return;
    }
    Store().RestoreAssociation(*chosen);
    host_.Dialogs().ShowMessage(L"Restored from: " + *chosen);
}

// The new association is listed by the next refresh.
void TfrmFileAssociator::btnAddClick() {
    const auto typed = ExtensionDialogs().AddExtension();
    if (!typed) {
        return;
    }
    Store().WriteAssociation(*typed);
    host_.Dialogs().ShowMessage(L"Your Extension was added");
}

// The association is read afresh; only its command and icon change, the rest is written back
// as read.
void TfrmFileAssociator::btnChangeClick() {
    const auto row = SelectedRow();
    if (!row) {
        return;
    }
    TExtInfo info = Store().ReadAssociation(rows.At(*row).extension);
    const auto changed = ExtensionDialogs().ChangeExtension({info.filePath, info.fileIcon});
    if (!changed) {
        return;
    }
    info.filePath = changed->filePath;
    info.fileIcon = changed->fileIcon;
    Store().WriteAssociation(info);
    rows.SetCommand(*row, changed->filePath, changed->fileIcon);
    host_.Dialogs().ShowMessage(L"Your Extension was changed");
}

// Always from the first row: the first match is selected (the list is not scrolled to it).
void TfrmFileAssociator::btnSearchClick() {
    const std::wstring keyword = lblSearch.Text();
    if (keyword.empty()) {
        host_.Dialogs().ShowMessage(L"Please Enter Search Keyword !");
        return;
    }
    const auto field = static_cast<AssociationSearchField>(std::max(cboSearchBy.Selected(), 0));
    const auto found = FindAssociation(rows.Rows(), field, keyword);
    if (!found) {
        host_.Dialogs().ShowMessage(L"Not found !");
        return;
    }
    lvExtensions.Select(*found, false);
    host_.Dialogs().ShowMessage(L"Found !");
}

}  // namespace kestrova
