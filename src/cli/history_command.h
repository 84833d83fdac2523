#pragma once
// The data folder's restore history (Backup.xml) from the console:
// "kestrova-cli history [--json | --csv] [--data-folder DIR]" lists its entries (index, NAME, TYPE,
// PATH and the number of value records), and
// "kestrova-cli restore --all | N [N ...] [--data-folder DIR]" writes entries back and takes
// them out of the history, as the Restore History section's "&Restore" does.

#include <string>
#include <vector>

namespace kestrova::cli {

// Lists every entry; one that a restore could not write back whole (a missing label, a record
// of an unknown type, data that is not data, a SUBKEY naming no key below a root) is also
// told on stderr, and the exit status is then kExitFailed.
int RunHistoryCommand(const std::vector<std::wstring>& arguments);

// Bad indices exit with kExitBadArguments before anything is written. An entry that cannot be
// written back whole stays in the history and is told on stderr; the others are still
// restored, and the exit status is kExitFailed.
int RunRestoreCommand(const std::vector<std::wstring>& arguments);

}  // namespace kestrova::cli
