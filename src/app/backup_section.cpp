#include "app/backup_section.h"

#include <vector>

#include "app/data_folder.h"
#include "app/page_layout.h"
#include "platform/dialogs.h"
#include "platform/error.h"
#include "repair/delete_folder_files.h"

namespace kestrova {

using namespace layout;

BackupSection::BackupSection(SectionHost& host) : Section(host) {
    channel_.SetErrorHandler(
        [this](std::exception_ptr error) { host_.ReportError(ErrorText(error)); });
    ThreadBackup.onStart = [this](WorkerThread&, WorkerRun&, void*) { ThreadBackupStart(); };
    ThreadBackup.onExecute = [this](WorkerThread&, WorkerRun&, void*) { ThreadBackupExecute(); };
    ThreadBackup.onTerminate = [this](WorkerThread&, WorkerRun&, void*) {
        ThreadBackupTerminate();
    };
    ThreadRestore.onStart = [this](WorkerThread&, WorkerRun&, void*) { ThreadRestoreStart(); };
    ThreadRestore.onExecute = [this](WorkerThread&, WorkerRun&, void*) { ThreadRestoreExecute(); };
}

void BackupSection::Build(Panel& page) {
    const Bounds area = PageArea(page);
    lblBRScan.Create(page, L"Restore points:", Bounds{area.x + 2, area.y + 1, area.width - 4, 14});
    ltbk.Create(page, Bounds{area.x, area.y + 16, area.width, 110});
    lblBRScan.Anchor(kAnchorTopWide);
    ltbk.Anchor(kAnchorTopWide);

    const Bounds panel = PlaceControlPanel(page, gbControlPanel, 70);
    const int memoTop = area.y + 16 + 110 + kGap;
    mWarning.Create(page,
                    {L"It is strongly recommended that you make a full backup of the registry "
                     L"prior to any changes you apply to your ",
                     L"system using this software.", L"",
                     L"You can select the backed up registry state to restore your system to "
                     L"from the list above. The list contains restore ",
                     L"points according to backups you have completed at a past date.", L"",
                     L"Go to the 'Backup/Restore' section to restore individual elements erased "
                     L"during the cleaning process."},
                    Bounds{area.x, memoTop, area.width, panel.y - kGap - memoTop}, false);
    mWarning.Anchor(kAnchorAll);

    const int statusWidth = TextWidth(page, L"Status:") + 6;
    RestoreBackupStatus_Label.Create(page, L"Status:",
                                     Bounds{panel.x + 10, panel.y + 17, statusWidth, 14});
    lbStatus.Create(
        page, L"",
        Bounds{panel.x + 10 + statusWidth, panel.y + 17, panel.width - 20 - statusWidth, 14});
    RestoreBackupStatus_Label.Anchor(kAnchorBottomLeft);
    lbStatus.Anchor(kAnchorBottomWide);
    PlaceButtonRow(page, panel.x + 10, panel.y + 36,
                   {{&btnBackup, L"Start &Backup"},
                    {&btnRestore1, L"Start &Restore"},
                    {&btRefresh, L"Resfresh List"},
                    {&btDel, L"Delete Restore Point"}});
    btnBackup.OnClick(page, [this] { btnBackupClick(); });
    btnRestore1.OnClick(page, [this] { btnRestore1Click(); });
    btRefresh.OnClick(page, [this] { btRefreshClick(); });
    btDel.OnClick(page, [this] { btDelClick(); });
}

void BackupSection::Selected() {
    ltbk.Clear();
    backupFolder_ = BackupFolderPath(host_.DataFolder());
    const BackupPoints points = Points();
    points.EnsureBackupFolder();
    for (const std::wstring& name : points.List()) {
        ltbk.Add(name);
    }
}

StatusSink BackupSection::PostedStatus() {
    return [this, poster = channel_.Poster()](const std::wstring& status) {
        poster.Post([this, status] { lbStatus.SetText(status); });
    };
}

// Names met in the Backup folder that the list lacks go to its end; the others stay, even
// when their folder has gone.
void BackupSection::btRefreshClick() {
    std::vector<std::wstring> listed;
    for (size_t i = 0; i < ltbk.Count(); ++i) {
        listed.push_back(ltbk.Item(i));
    }
    const size_t before = listed.size();
    AddNewRestorePoints(listed, Points().List());
    for (size_t i = before; i < listed.size(); ++i) {
        ltbk.Add(listed[i]);
    }
}

void BackupSection::btDelClick() {
    const int selected = ltbk.Selected();
    if (selected < 0) {
        return;
    }
    const RestorePointDeletion deletion = Points().Delete(ltbk.Item(static_cast<size_t>(selected)));
    for (const std::wstring& file : deletion.notDeleted) {
        host_.Dialogs().ShowMessage(DeleteErrorMessage(file));
    }
    ltbk.Remove(static_cast<size_t>(selected));
}

void BackupSection::btnBackupClick() {
    ThreadBackup.Start();
}

// A restore point folder that cannot be made is shown by the press, and no backup runs.
void BackupSection::ThreadBackupStart() {
    BackupPoints points = Points();
    backupName_ = points.CreateRestorePointFolder();
    backupPoints_.emplace(std::move(points));
}

void BackupSection::ThreadBackupExecute() {
    backupPoints_->BackUp(backupName_, PostedStatus());
}

void BackupSection::ThreadBackupTerminate() {
    if (host_.WindowOpen()) {
        btRefreshClick();
    }
}

// Without a chosen restore point there is nothing to restore: the Backup folder itself would
// be imported from.
void BackupSection::btnRestore1Click() {
    if (ltbk.Selected() >= 0) {
        ThreadRestore.Start();
    }
}

void BackupSection::ThreadRestoreStart() {
    BackupPoints points = Points();
    const std::wstring name = ltbk.Item(static_cast<size_t>(ltbk.Selected()));
    points.RestorePointFolder(name);  // throws, and nothing runs, when it has gone
    restoreName_ = name;
    restorePoints_.emplace(std::move(points));
}

void BackupSection::ThreadRestoreExecute() {
    restorePoints_->Restore(restoreName_, PostedStatus());
}

}  // namespace kestrova
