#pragma once
// "kestrova-cli userassist list [--json | --csv] | delete RAWNAME...": the UserAssist records of
// the current user, decoded, and the deletion of records by their raw (stored) value names.

#include <string>
#include <vector>

namespace kestrova::cli {

int RunUserAssistCommand(const std::vector<std::wstring>& arguments);

}  // namespace kestrova::cli
