#include "app/backup_section.h"

#include "app/page_layout.h"
#include "app/data_folder.h"

namespace kestrova {

using namespace layout;

void BackupSection::Build(Panel& page) {
    const Bounds area = PageArea(page);
    lblBRScan.Create(page, L"Restore points:", Bounds{area.x + 2, area.y + 1, area.width - 4, 14});
    ltbk.Create(page, Bounds{area.x, area.y + 16, area.width, 110});

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

    const int statusWidth = TextWidth(page, L"Status:") + 6;
    RestoreBackupStatus_Label.Create(page, L"Status:",
                                     Bounds{panel.x + 10, panel.y + 17, statusWidth, 14});
    lbStatus.Create(
        page, L"",
        Bounds{panel.x + 10 + statusWidth, panel.y + 17, panel.width - 20 - statusWidth, 14});
    PlaceButtonRow(page, panel.x + 10, panel.y + 36,
                   {{&btnBackup, L"Start &Backup"},
                    {&btnRestore1, L"Start &Restore"},
                    {&btRefresh, L"Resfresh List"},
                    {&btDel, L"Delete Restore Point"}});
}

void BackupSection::Selected() {
    backupFolder_ = BackupFolderPath(host_.DataFolder());
    EnsureFolder(backupFolder_);
}

}  // namespace kestrova
