#include "app/history_section.h"

#include "app/page_layout.h"
#include "app/store_file.h"
#include "app/store_file_saver.h"
#include "platform/dialogs.h"

namespace kestrova {

using namespace layout;

void HistorySection::Build(Panel& page) {
    PlaceListOverButtonRow(page, lvHistory, entries,
                           {{L"Name", 223}, {L"Type", 200}, {L"Path", kAutoWidth}}, gbControlPanel,
                           {{&btnRestore, L"&Restore"},
                            {&btnClearUndo, L"&Clear"},
                            {&btnRefresh2, L"&Refresh"},
                            {&btnCheckAll1, checkAll_.Caption()}});
    lvHistoryTools.Create(page, lvHistory, host_.Dialogs(), L"Restore History");
    btnRestore.OnClick(page, [this] { btnRestoreClick(); });
    btnClearUndo.OnClick(page, [this] { btnClearUndoClick(); });
    btnRefresh2.OnClick(page, [this] { btnRefresh2Click(); });
    btnCheckAll1.OnClick(page, [this] { btnCheckAll1Click(); });
}

void HistorySection::Selected() {
    btnRefresh2Click();
}

void HistorySection::StoreChanged(const StoreFile& store) {
    if (&store == &host_.RestoreStore()) {
        Refresh();
    }
}

RestoreHistory HistorySection::Engine() {
    StoreFile& store = host_.RestoreStore();
    return RestoreHistory(store.Document(), SaverFor(store));
}

void HistorySection::Refresh() {
    ListModel::Batch batch(entries);
    entries.Clear();
    for (HistoryEntryLabels& entry : Engine().Entries()) {
        entries.Add(TextRow{{std::move(entry.name), std::move(entry.type), std::move(entry.path)}});
    }
}

void HistorySection::btnRestoreClick() {
    const RestoreResult result = Engine().Restore(entries.CheckedRows());
    // The rows show exactly the entries left.
    Refresh();
    // Whatever did not come back is told once, however many entries it was.
    if (const std::wstring summary = RestoreSummaryText(result); !summary.empty()) {
        host_.Dialogs().ShowError(summary);
    }
}

void HistorySection::btnClearUndoClick() {
    entries.Clear();
    if (const auto error = Engine().Clear()) {
        host_.Dialogs().ShowError(*error);
    }
}

void HistorySection::btnRefresh2Click() {
    Refresh();
}

void HistorySection::btnCheckAll1Click() {
    checkAll_.Press(entries);
    btnCheckAll1.SetText(checkAll_.Caption());
}

}  // namespace kestrova
