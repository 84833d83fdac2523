#pragma once
// Where the running program lies, and the few questions about files and folders that every
// layer asks.

#include <string>

namespace kestrova {

// The full path of the running program's executable.
std::wstring ExecutablePath();
// The folder part of a file's full path, ending in "\" (the program's data folder, for its
// executable).
std::wstring FolderOf(const std::wstring& filePath);
// The folder with one "\" appended when it does not end in one.
std::wstring WithTrailingBackslash(std::wstring folder);

bool IsExistingFile(const std::wstring& path);
bool IsExistingFolder(const std::wstring& path);
// Creates the folder (one level) unless a folder of that name exists; throws Error naming the
// folder and the system's reason.
void EnsureFolder(const std::wstring& path);

}  // namespace kestrova
