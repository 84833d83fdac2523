#pragma once
// The 32-bit registry view of 64-bit Windows: 32-bit programs see a copy of their own of parts
// of HKEY_LOCAL_MACHINE\SOFTWARE and of the classes (COM classes, App Paths, Uninstall, shared
// DLLs, Run and the like), which a 64-bit program such as this one reaches as the keys under
// "Wow6432Node". To this program those are ordinary paths: read, written, deleted and restored
// like any other key.

#include <windows.h>

#include <string>

namespace kestrova {

inline constexpr wchar_t kWow64NodeName[] = L"Wow6432Node";

// The path that the 32-bit view shows in place of path, in this program's view, keeping the
// leading "\" if path has one: under HKEY_LOCAL_MACHINE "SOFTWARE\X" (any letter case) becomes
// "SOFTWARE\Wow6432Node\X", under HKEY_CLASSES_ROOT "X" becomes "Wow6432Node\X". Throws
// std::invalid_argument for any other root or path: other keys have no 32-bit copy.
std::wstring Wow64PathOf(HKEY root, const std::wstring& path);

// Whether the system keeps a 32-bit view beside this program's: Windows Vista or later, with
// this program built for 64 bits. (64-bit Windows XP and Server 2003 have one too; there the
// program keeps to the keys those versions' own tools use.)
bool Has32BitRegistryView();

}  // namespace kestrova
