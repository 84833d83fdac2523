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

// True for an NT system of version atLeastMajor.atLeastMinor or later: 6.0 Windows Vista, 6.1
// Windows 7, 6.2 Windows 8 and later (Windows 8.1, 10 and 11 report 6.2 to a program without
// a compatibility manifest), with their servers.
bool IsNtVersionAtLeast(DWORD platformId, DWORD majorVersion, DWORD minorVersion,
                        DWORD atLeastMajor, DWORD atLeastMinor);

// Whether the running system is such a system; false when the query fails.
bool NtVersionAtLeast(DWORD atLeastMajor, DWORD atLeastMinor);

// Vista and later keep per-user and 32-bit registrations and a 32-bit registry view.
inline bool WindowsVistaOrLater() {
    return NtVersionAtLeast(6, 0);
}
// Windows 7 and later keep the UserAssist records of their new Explorer.
inline bool Windows7OrLater() {
    return NtVersionAtLeast(6, 1);
}
// Windows 8 and later list and disable startup programs in Task Manager.
inline bool Windows8OrLater() {
    return NtVersionAtLeast(6, 2);
}

}  // namespace kestrova
