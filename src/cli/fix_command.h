#pragma once
// "kestrova-cli fix [--groups 0,1,...] [--json | --csv] [--data-folder DIR]": scans the given
// groups (all thirteen by default) as "scan" does, then fixes every checked row as the window's
// "Fix &Errors" does: each is recorded in the data folder's restore history (Backup.xml,
// saved before anything is deleted) and then deleted. Prints what became of each row.
// Rows that the scan leaves unchecked (the device-driver group's) are left alone.

#include <string>
#include <vector>

namespace kestrova::cli {

// Exits with kExitFailed, the report still printed, when a row was not deleted or not
// recorded; nothing is fixed when the scan does not complete or the history cannot be saved.
int RunFixCommand(const std::vector<std::wstring>& arguments);

}  // namespace kestrova::cli
