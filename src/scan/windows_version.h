#pragma once
// The Windows version as a small class number, used where keys differ between versions:
// 0 unknown or newer than Windows Server 2003, 1 Windows 95, 2 Windows 98, 3 Windows Me,
// 4 NT 4 or older, 5 Windows 2000, 6 Windows XP, 7 Windows XP x64 / Server 2003.
// Windows Vista and later (NT 6.0 and up) are class 0 too; whether the system is one of them
// is asked apart, as their keys differ from every class (startup approvals, per-user and
// 32-bit registrations, the 32-bit registry view).

#include <windows.h>

namespace kestrova {

// The class of a version as reported by the version query (platform id, major, minor).
int ClassifyWindowsVersion(DWORD platformId, DWORD majorVersion, DWORD minorVersion);

// The class of the running system; 0 when the query fails.
int WindowsVersionClass();

// True for an NT system of major version 6 or later: Windows Vista, 7, 8, 10, 11 and their
// servers (Windows 8.1 and later report 6.2 to a program without a compatibility manifest).
bool IsVistaOrLater(DWORD platformId, DWORD majorVersion);

// Whether the running system is Windows Vista or later; false when the query fails.
bool WindowsVistaOrLater();

// True for an NT system of version 6.2 or later: Windows 8, 8.1, 10, 11 and their servers,
// the systems whose Task Manager lists and disables startup programs.
bool IsWindows8OrLater(DWORD platformId, DWORD majorVersion, DWORD minorVersion);

// Whether the running system is Windows 8 or later; false when the query fails.
bool Windows8OrLater();

}  // namespace kestrova
