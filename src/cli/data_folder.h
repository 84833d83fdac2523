#pragma once
// Where the program keeps its files: the folder of its executable, or one named on the
// command line.

#include <string>

namespace kestrova::cli {

// The executable's folder with a trailing "\".
std::wstring ProgramFolder();

// folder with a trailing "\" added when missing.
std::wstring WithTrailingBackslash(std::wstring folder);

}  // namespace kestrova::cli
