// The Ignore List and Restore History sections: the buttons hand over to the engines, which
// keep the rows and the documents in step and save through the window's stores.
#include "app/main_form.h"

namespace kestrova {

void TfmMainForm::WireRepairSections() {
    Panel& ignorePage = MainControl_.Page(static_cast<size_t>(Section::IgnoreList));
    IgnoreListPage& ignore = ignoreList_;
    ignore.btnAdd.OnClick(ignorePage, [this] { btnAddClick(); });
    ignore.btnRemove.OnClick(ignorePage, [this] { btnRemoveClick(); });
    ignore.btnRefresh6.OnClick(ignorePage, [this] { btnRefresh6Click(); });
    ignore.btnCheckall2.OnClick(ignorePage, [this] { IgnoreEngine().CheckAll(); });
    ignore.btnUncheckall.OnClick(ignorePage, [this] { IgnoreEngine().UncheckAll(); });

    Panel& historyPage = MainControl_.Page(static_cast<size_t>(Section::History));
    HistoryPage& history = history_;
    history.btnRestore.OnClick(historyPage, [this] { btnRestoreClick(); });
    history.btnClearUndo.OnClick(historyPage, [this] { btnClearUndoClick(); });
    history.btnRefresh2.OnClick(historyPage, [this] { btnRefresh2Click(); });
    history.btnCheckAll1.OnClick(historyPage, [this] { btnCheckAll1Click(); });
}

kestrova::IgnoreList TfmMainForm::IgnoreEngine() {
    return kestrova::IgnoreList(IgnoreXML.Document(), SaverFor(IgnoreXML), ignoreList_.entries);
}

void TfmMainForm::btnAddClick() {
    const IgnoreAddResult result = IgnoreEngine().Add(
        ignoreList_.edRoot.Text(), ignoreList_.edKeyName.Text(), ignoreList_.edValue.Text());
    if (result.saveError) {
        dialogs_.ShowError(*result.saveError);
    }
}

void TfmMainForm::btnRemoveClick() {
    if (const auto error = IgnoreEngine().Remove()) {
        dialogs_.ShowError(*error);
    }
}

void TfmMainForm::btnRefresh6Click() {
    IgnoreEngine().Refresh();
}

void TfmMainForm::btnRestoreClick() {
    const RestoreResult result = restoreHistory_.Restore();
    for (const RestoreFailure& failure : result.failures) {
        dialogs_.ShowError(failure.name + L" (" + failure.type + L")\n\n" + failure.message);
    }
    if (result.saveError) {
        dialogs_.ShowError(*result.saveError);
    }
}

void TfmMainForm::btnClearUndoClick() {
    if (const auto error = restoreHistory_.Clear()) {
        dialogs_.ShowError(*error);
    }
}

void TfmMainForm::btnRefresh2Click() {
    restoreHistory_.Refresh();
}

void TfmMainForm::btnCheckAll1Click() {
    restoreHistory_.ToggleCheckAll();
    history_.btnCheckAll1.SetText(restoreHistory_.CheckAllCaption());
}

}  // namespace kestrova
