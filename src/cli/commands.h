#pragma once
// The commands of the console front end. Each command reads its own arguments and returns
// the process's exit status; a new command is one more row in the table of commands.cpp.

#include <string>
#include <vector>

namespace kestrova::cli {

struct Command {
    const wchar_t* name;
    const wchar_t* usage;  // the arguments after the command's name
    int (*run)(const std::vector<std::wstring>& arguments);
};

// Runs the command named by the first argument with the rest; prints the usage and returns
// kExitBadArguments when there is none, it is unknown, or its arguments are not understood.
int RunCommandLine(const std::vector<std::wstring>& arguments);

}  // namespace kestrova::cli
