#include "app/add_remove_section.h"

#include "app/page_layout.h"
#include "platform/dialogs.h"

namespace kestrova {

using namespace layout;

namespace {

constexpr size_t kUninstallPathColumn = 1;
constexpr size_t kKeyNameColumn = 2;
constexpr wchar_t kCheckAllCaption[] = L"&Check All";
constexpr wchar_t kUncheckAllCaption[] = L"&Uncheck All";

}  // namespace

AddRemoveSection::AddRemoveSection(SectionHost& host)
    : Section(host), launch_(LaunchCommandLine), scope_(SystemUninstallScope) {}

void AddRemoveSection::Build(Panel& page) {
    // "Key Name" is kept out of sight: one pixel wide, and it can never be widened.
    PlaceListOverButtonRow(page, lvAddRemove, entries,
                           {{L"Display Name", kAutoWidth},
                            {L"Uninstall Path", kAutoWidth},
                            {L"Key Name", 1, LVCFMT_LEFT, true}},
                           gbControlPanel,
                           {{&btnUninstall, L"&Uninstall", false},
                            {&btnDeleteEntry, L"&Delete entries", false},
                            {&btnRefresh1, L"&Refresh"},
                            {&btnCheckAlll2, kCheckAllCaption}});
    lvAddRemoveTools.Create(page, lvAddRemove, host_.Dialogs(), L"Uninstall Programs");
    btnUninstall.OnClick(page, [this] { btnUninstallClick(); });
    btnDeleteEntry.OnClick(page, [this] { btnDeleteEntryClick(); });
    btnRefresh1.OnClick(page, [this] { ListEntries(); });
    btnCheckAlll2.OnClick(page, [this] { btnCheckAlll2Click(); });
    lvAddRemove.OnClick([this] { lvAddRemoveClick(); });
}

void AddRemoveSection::Selected() {
    if (entries.RowCount() == 0) {
        ListEntries();
    }
}

void AddRemoveSection::ListEntries() {
    auto listed = ListUninstallEntries(scope_());
    if (!listed) {
        return;
    }
    ListModel::Batch batch(entries);
    entries.Clear();
    for (UninstallEntry& entry : *listed) {
        entries.Add(TextRow{{std::move(entry.displayName), std::move(entry.uninstallString),
                             std::move(entry.keyPath)}});
    }
}

std::vector<std::wstring> AddRemoveSection::CheckedCells(size_t column) const {
    std::vector<std::wstring> cells;
    for (size_t row : entries.CheckedRows()) {
        cells.push_back(entries.CellText(row, column));
    }
    return cells;
}

void AddRemoveSection::SetActionsEnabled(bool enabled) {
    btnUninstall.SetEnabled(enabled);
    btnDeleteEntry.SetEnabled(enabled);
}

void AddRemoveSection::lvAddRemoveClick() {
    SetActionsEnabled(entries.CheckedCount() > 0);
}

void AddRemoveSection::btnUninstallClick() {
    // Started one after the other; nothing is waited for, and a command that does not start
    // is passed over.
    StartUninstallers(CheckedCells(kUninstallPathColumn), launch_);
}

void AddRemoveSection::btnDeleteEntryClick() {
    if (!host_.Dialogs().Confirm(L"Are you sure to delete the key(s)?")) {
        return;
    }
    // A key that cannot be deleted stays, and the list rebuilt below shows it again. The
    // hidden column names the key with its root where the list has several places.
    for (const std::wstring& keyPath : CheckedCells(kKeyNameColumn)) {
        DeleteUninstallEntry(keyPath);
    }
    ListEntries();
}

void AddRemoveSection::btnCheckAlll2Click() {
    const bool check = btnCheckAlll2.Text() == kCheckAllCaption;
    btnCheckAlll2.SetText(check ? kUncheckAllCaption : kCheckAllCaption);
    entries.SetAllChecked(check);
    SetActionsEnabled(check);
}

}  // namespace kestrova
