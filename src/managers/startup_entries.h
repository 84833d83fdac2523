#pragma once
// Programs that Windows starts from its Run keys, and moving one between its live key and the
// place where disabled programs are kept. Which keys are read, and where a disabled program
// goes, depends on the Windows version class (scan/windows_version.h):
// - classes 1 to 4 (Windows 95, 98, Me, NT 4 and older): the same value in a sibling key named
//   after the live key with "-" appended ("Run-", "RunServices-"), under the same root;
// - classes 5 to 7 (Windows 2000, XP, Server 2003): a disabled-entry record, one subkey per
//   program under HKEY_LOCAL_MACHINE\Software\Microsoft\Shared Tools\MSConfig\startupreg, with
//   the values "command", "hkey", "inimapping", "item" and "key";
// - class 0 (anything else): nothing is listed or moved.
// The version class is always a parameter, so that callers compute it when they act.

#include <windows.h>

#include <string>
#include <vector>

#include "managers/change_result.h"

namespace kestrova {

enum class StartupScheme { None, SiblingKeys, Records };

StartupScheme StartupSchemeOf(int versionClass);

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

struct StartupEntry {
    // The value's name, or the record's "item"; may be empty (a key's unnamed value) and may
    // hold "\".
    std::wstring name;
    // The value's text, or the record's "command". A value holding something other than text
    // shows its type in brackets, "(REG_DWORD)", and is never moved.
    std::wstring command;
    // The live key: short root name, "\", key path ("HKCU\Software\...\Run"). For the sibling
    // keys scheme a disabled entry's location is the "-" key it lies in.
    std::wstring location;
    bool enabled = false;
    bool isText = true;
    // For a disabled-entry record: the name of its subkey under the records key.
    std::wstring recordKey;

    friend bool operator==(const StartupEntry&, const StartupEntry&) = default;
};

// The entries in list order: for the sibling keys scheme the values of HKEY_LOCAL_MACHINE's
// Run and RunServices (enabled), then Run- and RunServices- (disabled); for the records scheme
// the values of HKEY_LOCAL_MACHINE's and HKEY_CURRENT_USER's Run (enabled), then the records
// (disabled). Inside each source the registry's order. Keys that do not open add nothing.
std::vector<StartupEntry> ListStartupEntries(int versionClass);

// Moves one listed entry: enable from its disabled place to its live key, or the other way.
// The entry's data is read afresh where it lies, and it is removed from there only once it
// is complete in its new place, so a failed move leaves it where it was.
ChangeResult ApplyStartupChange(const StartupEntry& entry, int versionClass, bool enable);

}  // namespace kestrova
