#pragma once
// Restore points (whole-registry backups in the data folder's Backup folder) from the
// console, as the Backup and Restore section takes, lists, restores and deletes them:
//   kestrova-cli backup create [--data-folder DIR]     prints the new restore point's name
//   kestrova-cli backup list [--json | --csv] [--data-folder DIR]
//   kestrova-cli backup restore NAME [--data-folder DIR]
//   kestrova-cli backup delete NAME [--data-folder DIR]
// A root key that could not be backed up or restored is named on stderr, and the command then
// exits with 1.

#include <string>
#include <vector>

namespace kestrova::cli {

int RunBackupCommand(const std::vector<std::wstring>& arguments);

}  // namespace kestrova::cli
