#pragma once
// Existence tests that tell files from folders. A path without a drive is taken from the
// current directory.

#include <string>

namespace kestrova {

enum class PathKind { Missing, File, Folder };

// What path names, found with one probe of the file system.
PathKind KindOfPath(const std::wstring& path);

// True when path names an existing file (not a folder).
bool FileExists(const std::wstring& path);

// True when path names an existing folder.
bool FolderExists(const std::wstring& path);

}  // namespace kestrova
