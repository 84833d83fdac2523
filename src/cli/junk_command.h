#pragma once
// "kestrova-cli junk scan|clean [--drives C:\;D:\ | --location DIR;DIR] [--types T;T]
// [--exclude PATH]... [--json | --csv]": the drive cleaner's search over chosen drives or folders
// for the chosen kinds of junk files (all seven by default), and the deletion of what it finds.

#include <string>
#include <vector>

namespace kestrova::cli {

int RunJunkCommand(const std::vector<std::wstring>& arguments);

}  // namespace kestrova::cli
