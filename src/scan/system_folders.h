#pragma once
// Where Windows keeps its folders, each as a path with a trailing "\".

#include <string>

namespace kestrova {

// The Windows system folder ("C:\WINDOWS\system32\"), at most 254 characters before the "\".
std::wstring SystemFolder();

// The Windows folder, derived from the system folder (see WindowsFolderOf).
std::wstring WindowsFolder();

// systemFolder cut after its first "\" from the fourth character on ("C:\WINDOWS\system32\"
// gives "C:\WINDOWS\"); unchanged when there is no such "\"; empty when systemFolder is
// shorter than four characters.
std::wstring WindowsFolderOf(const std::wstring& systemFolder);

// "ProgramFilesDir" of HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion with a
// trailing "\"; empty when the key or a non-empty text value is missing.
std::wstring ProgramFilesFolder();

// The user's temporary folder as the system reports it, with its trailing "\".
std::wstring TempFolder();

}  // namespace kestrova
