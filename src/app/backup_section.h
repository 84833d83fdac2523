#pragma once
// "Backup and Restore": whole-registry restore points in the data folder's Backup folder.

#include <string>

#include "app/section.h"
#include "platform/list_model.h"
#include "platform/ui_controls.h"
#include "platform/ui_list_view.h"

namespace kestrova {

class BackupSection final : public Section {
public:
    explicit BackupSection(SectionHost& host) : Section(host) {}

    void Build(Panel& page) override;
    // The Backup folder is made again when it has gone since the start.
    void Selected() override;

    // The data folder's "Backup" folder, without a trailing "\".
    const std::wstring& BackupFolder() const { return backupFolder_; }

    Label lblBRScan;
    ListBox ltbk;
    Memo mWarning;
    GroupBox gbControlPanel;
    Label RestoreBackupStatus_Label;
    Label lbStatus;
    Button btnBackup;
    Button btnRestore1;
    Button btRefresh;
    Button btDel;

private:
    std::wstring backupFolder_;
};

}  // namespace kestrova
