#pragma once
// Imports a registry editor export (.reg, "Windows Registry Editor Version 5.00") into this
// process's registry with the exact type and bytes of every value. Inside a RegistrySandbox
// it fills the scratch keys, which running regedit.exe (a process of its own) could not.
//
// Understood: key lines "[ROOT\path]" and "[-ROOT\path]" (delete), values "name"= and @=
// with "text", dword:, hex:, hex(N):, "=-" (delete), escaped \\ and \" in names and texts,
// hex data continued over lines ending in "\", comments and blank lines.

#include <windows.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace kestrova::test {

// Keys whose path starts with `from` (a root's long name, perhaps with keys; compared
// without regard to case, at a "\" boundary) are written under `root` + `to` instead.
struct RegKeyMapping {
    std::wstring from;
    HKEY root;
    std::wstring to;  // a key path below root, or empty
};

struct RegImportCounts {
    size_t keys = 0;
    size_t values = 0;
};

class RegFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Imports the text of a .reg file; throws RegFileError naming the line it cannot read or
// write.
RegImportCounts ImportRegText(const std::wstring& text,
                              const std::vector<RegKeyMapping>& mappings = {});

// Reads a .reg file (UTF-16LE with its byte-order mark, or UTF-8) and imports it.
RegImportCounts ImportRegFile(const std::wstring& path,
                              const std::vector<RegKeyMapping>& mappings = {});

// The text of a .reg file with only the keys at or below one of the given key paths (any
// letter case, found anywhere in a key's name at a "\" boundary), under the export's first
// line: importing only these keeps a test quick.
std::wstring RegTextOfKeys(const std::wstring& path, const std::vector<std::wstring>& keyPaths);

}  // namespace kestrova::test
