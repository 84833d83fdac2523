#pragma once
// Starts another program and waits for it to end (the registry editor, run hidden).

#include <windows.h>

#include <string>

namespace kestrova {

// Starts programFile with commandLine (its arguments, given apart from the file name),
// normal priority and no inherited handles, showMode (SW_HIDE, SW_SHOWNORMAL...) for its
// first window and, unless empty, workingFolder as its current folder; then waits for it
// to end without a time limit. Returns whether the program could be started.
bool RunAndWait(const std::wstring& programFile, const std::wstring& commandLine, int showMode,
                const std::wstring& workingFolder);
// The same, giving the program's exit code when it was started.
bool RunAndWait(const std::wstring& programFile, const std::wstring& commandLine, int showMode,
                const std::wstring& workingFolder, DWORD& exitCode);

}  // namespace kestrova
