#pragma once
// The programs Windows starts from its Run keys, from the console, as the Startup Programs
// section lists and moves them under the running Windows version:
//   kestrova-cli startup list [--json | --csv]
//   kestrova-cli startup disable NAME --location LOC
//   kestrova-cli startup enable NAME --location LOC
// NAME and LOC are an entry's name ("" for a key's unnamed value) and location as the list
// shows them; one entry is moved.

#include <string>
#include <vector>

namespace kestrova::cli {

int RunStartupCommand(const std::vector<std::wstring>& arguments);

}  // namespace kestrova::cli
