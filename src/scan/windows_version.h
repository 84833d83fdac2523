#pragma once
// The Windows version as a small class number, used where keys differ between versions:
// 0 unknown or newer than Windows Server 2003, 1 Windows 95, 2 Windows 98, 3 Windows Me,
// 4 NT 4 or older, 5 Windows 2000, 6 Windows XP, 7 Windows XP x64 / Server 2003.

#include <windows.h>

namespace kestrova {

// The class of a version as reported by the version query (platform id, major, minor).
int ClassifyWindowsVersion(DWORD platformId, DWORD majorVersion, DWORD minorVersion);

// The class of the running system; 0 when the query fails.
int WindowsVersionClass();

}  // namespace kestrova
