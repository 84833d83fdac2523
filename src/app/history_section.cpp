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
                            {&btnCheckAll1, kHistoryCheckAllCaption}});
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
        Engine().Refresh();
    }
}

RestoreHistory& HistorySection::Engine() {
    if (!engine_) {
        StoreFile& store = host_.RestoreStore();
        engine_.emplace(store.Document(), SaverFor(store), entries);
    }
    return *engine_;
}

void HistorySection::btnRestoreClick() {
    const RestoreResult result = Engine().Restore();
    for (const RestoreFailure& failure : result.failures) {
        host_.Dialogs().ShowError(failure.name + L" (" + failure.type + L")\n\n" + failure.message);
    }
    if (result.saveError) {
        host_.Dialogs().ShowError(*result.saveError);
    }
}

void HistorySection::btnClearUndoClick() {
    if (const auto error = Engine().Clear()) {
        host_.Dialogs().ShowError(*error);
    }
}

void HistorySection::btnRefresh2Click() {
    Engine().Refresh();
}

void HistorySection::btnCheckAll1Click() {
    Engine().ToggleCheckAll();
    btnCheckAll1.SetText(Engine().CheckAllCaption());
}

}  // namespace kestrova
