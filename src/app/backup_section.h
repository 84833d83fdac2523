#pragma once
// "Backup and Restore": whole-registry restore points in the data folder's Backup folder,
// taken and restored by the registry editor on two worker threads of the section, listed and
// deleted.

#include <optional>
#include <string>

#include "app/section.h"
#include "platform/ui_channel.h"
#include "platform/ui_controls.h"
#include "platform/worker_thread.h"
#include "repair/backup_points.h"

namespace kestrova {

class BackupSection final : public Section {
public:
    explicit BackupSection(SectionHost& host);

    void Build(Panel& page) override;
    // toolBackupClick: the Backup folder is made again when it has gone since the start, and
    // the restore points are listed afresh.
    void Selected() override;

    // The data folder's "Backup" folder, without a trailing "\".
    const std::wstring& BackupFolder() const { return backupFolder_; }
    // From the press of its button until its status texts have all been shown.
    bool BackupRunning() const { return ThreadBackup.Running(); }
    bool RestoreRunning() const { return ThreadRestore.Running(); }
    // For tests: the keys, the pause and the registry editor of the backups and restores
    // started from now on.
    void SetBackupOptions(BackupPointsOptions options) { options_ = std::move(options); }

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
    BackupPoints Points() const { return BackupPoints(host_.DataFolder(), options_); }
    // Hands each status of a worker to lbStatus, in order.
    StatusSink PostedStatus();

    void btnBackupClick();
    void btnRestore1Click();
    void btRefreshClick();
    void btDelClick();
    void ThreadBackupStart();
    void ThreadBackupExecute();
    void ThreadBackupTerminate();
    void ThreadRestoreStart();
    void ThreadRestoreExecute();

    std::wstring backupFolder_;
    BackupPointsOptions options_;
    // Set by each start event for its run; the worker reads them while its run lasts, and no
    // start event runs again until then.
    std::optional<BackupPoints> backupPoints_;
    std::wstring backupName_;
    std::optional<BackupPoints> restorePoints_;
    std::wstring restoreName_;
    // Declared last: a backup or restore still running when the window closes is waited for
    // first (it always runs through every key), while everything its statuses reach exists.
    UiChannel channel_;
    WorkerThread ThreadBackup{channel_};
    WorkerThread ThreadRestore{channel_};
};

}  // namespace kestrova
