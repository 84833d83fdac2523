#pragma once
// Runs the console front end (KESTROVA_CLI_EXE, defined for the test programs that use it) as
// the child process it is.

#include <string>

#include "support/child_process.h"

#ifndef KESTROVA_CLI_EXE
#define KESTROVA_CLI_EXE ""
#endif

namespace kestrova::test {

inline ChildResult RunCli(const std::wstring& arguments) {
    return RunChild(HostPathToWindows(KESTROVA_CLI_EXE), arguments);
}

// " --data-folder \"FOLDER\"" for a folder given with its trailing "\", which is left out:
// before the closing quote it would escape it.
inline std::wstring DataFolderOption(const std::wstring& folder) {
    return L" --data-folder \"" + folder.substr(0, folder.size() - 1) + L"\"";
}

}  // namespace kestrova::test
