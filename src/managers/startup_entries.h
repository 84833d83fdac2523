#pragma once
// Programs that Windows starts from its Run keys (and, on Windows 8 and later, its Startup
// folders), and disabling or enabling one the way that Windows version does. Which places are
// read, and what disabling does, depends on the Windows version:
// - classes 1 to 4 (Windows 95, 98, Me, NT 4 and older; scan/windows_version.h): the same
//   value moves to a sibling key named after the live key with "-" appended ("Run-",
//   "RunServices-"), under the same root;
// - classes 5 to 7 (Windows 2000, XP, Server 2003), and Windows Vista and 7: the value moves
//   to a disabled-entry record, one subkey per program under
//   HKEY_LOCAL_MACHINE\Software\Microsoft\Shared Tools\MSConfig\startupreg, with the values
//   "command", "hkey", "inimapping", "item" and "key", as their System Configuration tool
//   keeps it; 64-bit Vista and 7 list the 32-bit view's Run key of HKEY_LOCAL_MACHINE too;
// - Windows 8 and later: nothing moves; a StartupApproved record (startup_approved.h) next to
//   the Run key or Startup folder says whether the program runs, as Task Manager keeps it;
// - class 0 on any other system (an unknown one, or a failed version query): nothing is
//   listed or moved.
// The places are always a parameter, so that callers ask the system when they act.

#include <windows.h>

#include <string>
#include <vector>

#include "managers/change_result.h"

namespace kestrova {

enum class StartupScheme { None, SiblingKeys, Records, Approved };

StartupScheme StartupSchemeOf(int versionClass);

// Where a Windows version keeps its startup programs and how it disables them.
struct StartupPlaces {
    StartupScheme scheme = StartupScheme::None;
    // Also HKEY_LOCAL_MACHINE's Run key of the 32-bit registry view (64-bit Windows Vista and
    // later), for the Records and Approved schemes.
    bool run32 = false;
    // The Startup folders of all users and of the current user, for the Approved scheme; an
    // empty text where there is none.
    std::wstring commonStartupFolder;
    std::wstring userStartupFolder;
};

// The places of a version class: its scheme, no 32-bit Run key, no folders.
StartupPlaces StartupPlacesOf(int versionClass);

// The running system's places: Windows 8 and later the Approved scheme with both Startup
// folders, Windows Vista and 7 the Records scheme, and the 32-bit Run key on both where the
// system has a 32-bit registry view; any other system those of its version class.
StartupPlaces SystemStartupPlaces();

// "HKLM", "HKCU", "HKU", "HKCC", "HKCR", "HKDD" and their roots; exact and case-sensitive.
// No root (nullptr) for any other name, an empty text for any other root.
HKEY ShortNameToRootKey(const std::wstring& name);
std::wstring RootKeyToShortName(HKEY root);

inline constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr wchar_t kRunServicesKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\RunServices";
// Under HKEY_LOCAL_MACHINE.
inline constexpr wchar_t kStartupRecordsKey[] =
    L"Software\\Microsoft\\Shared Tools\\MSConfig\\startupreg";
// HKEY_LOCAL_MACHINE's Run key in the 32-bit registry view, as this program reaches it.
inline constexpr wchar_t kRun32Key[] =
    L"Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run";

struct StartupEntry {
    // The value's name, or the record's "item", or the file's name in a Startup folder; may
    // be empty (a key's unnamed value) and may hold "\".
    std::wstring name;
    // The value's text, or the record's "command", or the full path of a Startup folder's
    // file. A value holding something other than text shows its type in brackets,
    // "(REG_DWORD)", and is never moved.
    std::wstring command;
    // The live key: short root name, "\", key path ("HKCU\Software\...\Run"); for a file, its
    // Startup folder ("C:\ProgramData\...\Startup"). For the sibling keys scheme a disabled
    // entry's location is the "-" key it lies in.
    std::wstring location;
    bool enabled = false;
    bool isText = true;
    // For a disabled-entry record: the name of its subkey under the records key.
    std::wstring recordKey;

    friend bool operator==(const StartupEntry&, const StartupEntry&) = default;
};

// The entries in list order. Sibling keys: the values of HKEY_LOCAL_MACHINE's Run and
// RunServices (enabled), then Run- and RunServices- (disabled). Records: the values of
// HKEY_LOCAL_MACHINE's and HKEY_CURRENT_USER's Run and (run32) the 32-bit Run key (enabled),
// then the records (disabled). Approved: the values of HKEY_LOCAL_MACHINE's Run,
// HKEY_CURRENT_USER's Run and (run32) the 32-bit Run key, then the files of the common and
// the user's Startup folder ("desktop.ini" left out), each as its record says. Inside each
// source the registry's (or the file system's) order. Places that do not open add nothing.
std::vector<StartupEntry> ListStartupEntries(const StartupPlaces& places);
std::vector<StartupEntry> ListStartupEntries(int versionClass);

// Changes one listed entry's state: enable from its disabled place to its live key, or the
// other way; for the Approved scheme, writes its record. The entry's data is read afresh where
// it lies, and it is removed from there only once it is complete in its new place, so a
// failed move leaves it where it was.
ChangeResult ApplyStartupChange(const StartupEntry& entry, const StartupPlaces& places,
                                bool enable);
ChangeResult ApplyStartupChange(const StartupEntry& entry, int versionClass, bool enable);

}  // namespace kestrova
