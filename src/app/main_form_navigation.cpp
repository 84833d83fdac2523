// The tool buttons: each shows its section, then does what the section needs on opening.
#include "app/data_folder.h"
#include "app/list_rows.h"
#include "app/main_form.h"

namespace kestrova {

void TfmMainForm::ShowSection(Section section) {
    MainControl_.ShowPage(static_cast<size_t>(section));
    for (int i = 0; i < kSectionCount; ++i) {
        toolButtons_[static_cast<size_t>(i)].SetSelected(i == static_cast<int>(section));
    }
}

void TfmMainForm::toolScanErrorsClick() {
    ShowSection(Section::ScanErrors);
    // After a scan that found errors the groups keep their marks and counts; a running scan
    // keeps them too, it is still writing its counters.
    if (scanErrors_.errors.RowCount() == 0 && !ScanRunning()) {
        FillScanGroups();
    }
}

void TfmMainForm::toolToolbarClick() {
    ShowSection(Section::Toolbar);
}

void TfmMainForm::toolBackupClick() {
    dataFolder_ = WithTrailingBackslash(dataFolderSource_);
    backupFolder_ = BackupFolderPath(dataFolder_);
    EnsureFolder(backupFolder_);
    ShowSection(Section::Backup);
}

void TfmMainForm::toolHistoryClick() {
    ShowSection(Section::History);
    btnRefresh2Click();
}

void TfmMainForm::toolIgnoreClick() {
    ShowSection(Section::IgnoreList);
    if (ignoreList_.entries.RowCount() == 0) {
        FillIgnoreRows(IgnoreXML.Document(), ignoreList_.entries);
    }
}

void TfmMainForm::toolAddRemoveClick() {
    ShowSection(Section::AddRemove);
}

void TfmMainForm::toolStartupClick() {
    ShowSection(Section::Startup);
}

void TfmMainForm::toolEClick() {
    ShowSection(Section::IE);
}

void TfmMainForm::toolMoreToolsClick() {
    ShowSection(Section::MoreTools);
}

}  // namespace kestrova
