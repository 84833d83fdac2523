#pragma once
// Turns registry data (a path, a command line, an icon reference) into the file it most
// likely names, so a scan can test whether that file is still there.

#include <string>

#include "scan/file_probe.h"

namespace kestrova {

// text with the first occurrence of pattern (case-sensitive) replaced; unchanged when the
// pattern is absent or empty.
std::wstring ReplaceFirst(const std::wstring& pattern, const std::wstring& replacement,
                          const std::wstring& text);

// The file that data most likely names, in lower case apart from the system folders put in:
// quotes, arguments, switches and icon indexes dropped, %SystemRoot% and %ProgramFiles%
// replaced, bare names placed in the Windows or system folder, ".exe" added where such a
// file exists. Network paths ("\\server\...") come back unchanged; empty when nothing is left.
// Files are probed through a probe of its own; no probe depends on the current directory.
std::wstring GuessPath(const std::wstring& data);

struct GuessedFile {
    std::wstring path;  // GuessPath(data)
    // The file name as data gave it without any folder ("msiexec.exe"), when GuessPath put a
    // folder in front of it; empty otherwise.
    std::wstring bareName;
};

// GuessPath(data) with its files probed through probe, and the bare name it placed.
GuessedFile GuessFile(const std::wstring& data, FileProbe& probe);

}  // namespace kestrova
