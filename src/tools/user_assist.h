#pragma once
// Explorer's UserAssist usage records: value names under the current user scrambled with
// ROT13. They are listed decoded, with a type told from the decoded name, and deleted by their
// raw names; nothing is ever written.
//
// Up to Windows Vista (the Classic layout) Explorer keeps them in one Count key and their data
// is not read. Windows 7 and later keep them in two others, programs and shortcuts, with new
// names (a known folder's identifier in braces before a path, or an application's ID) and a
// 72-byte value each that counts the runs and the focus and tells the last run; those counts
// are read.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrova {

// Under HKEY_CURRENT_USER: the Count key of the Classic layout.
inline constexpr wchar_t kUserAssistKeyPath[] =
    L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\UserAssist\\"
    L"{75048700-EF1F-11D0-9888-006097DEACF9}\\Count";
// Under HKEY_CURRENT_USER: the Count keys of Windows 7 and later, of programs and of
// shortcuts.
inline constexpr wchar_t kUserAssistProgramsKeyPath[] =
    L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\UserAssist\\"
    L"{CEBFF5CD-ACE2-4F4F-9178-9926F41749EA}\\Count";
inline constexpr wchar_t kUserAssistShortcutsKeyPath[] =
    L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\UserAssist\\"
    L"{F4E57C4B-2036-45F0-A9AB-443BCFE33D9F}\\Count";

enum class UserAssistLayout { Classic, Windows7 };

// Windows7 on Windows 7 and later, Classic on any other system: the viewer asks this at each
// listing.
UserAssistLayout SystemUserAssistLayout();

// ROT13 over the ASCII letters, case kept; everything else passes unchanged. It also encodes.
std::wstring DecodeUserAssistName(std::wstring_view name);

struct UserAssistItem {
    std::wstring itemType;  // the kind before the first colon, or the type a rule gives
    std::wstring itemPath;  // after the first colon; the whole name without one
};

// Decodes name, splits it at its first colon and gives it its type.
UserAssistItem ParseUserAssistName(std::wstring_view name);

// Decodes a name of Windows 7 and later and gives it its type: a leading known folder's
// identifier ("{1AC14E77-02E7-4E5D-B744-2EB1AE5198B7}\cmd.exe") shows as the folder's name
// ("System\cmd.exe"). The type is "Unknown" for Explorer's own "UEME_" records (the text
// after their colon is the path), "Start Menu" for a shortcut (".lnk"), "System" for a shell
// item or a folder without a name here (a path that still begins with "{" or "::"), "Control
// Panel Applets" for ".cpl", "Executables" for any other path (one with "\"), and
// "Application" for an application's ID ("Microsoft.Windows.Explorer", "Chrome").
UserAssistItem ParseUserAssist7Name(std::wstring_view name);

// The counters of a record of Windows 7 and later, read from its 72-byte value: run count at
// offset 4, focus count at 8, focus time (milliseconds) at 12, last run (FILETIME, UTC) at 60.
struct UserAssistUsage {
    uint32_t runCount = 0;
    uint32_t focusCount = 0;
    uint32_t focusMilliseconds = 0;
    uint64_t lastRun = 0;  // FILETIME as a number; 0 when never

    friend bool operator==(const UserAssistUsage&, const UserAssistUsage&) = default;
};

inline constexpr size_t kUserAssistUsageSize = 72;

// The counters of a value of that type and bytes; nothing unless it is a 72-byte REG_BINARY.
std::optional<UserAssistUsage> ReadUserAssistUsage(DWORD type, const std::vector<BYTE>& bytes);

// One row of the viewer.
struct UserAssistRecord {
    std::wstring fileName;  // the item's path
    std::wstring type;      // the item's type
    std::wstring rawName;   // the value's name as stored
    // The Count key it lies in, under HKEY_CURRENT_USER.
    std::wstring keyPath = kUserAssistKeyPath;
    // Windows 7 and later: the counters, when the value holds them.
    std::optional<UserAssistUsage> usage;
};

// Every value of the Classic key, in the registry's order; empty when the key is missing.
std::vector<UserAssistRecord> ListUserAssistRecords();
// Every value of the layout's keys: for Windows7 the programs' key, then the shortcuts' key,
// each in the registry's order; a missing key adds nothing.
std::vector<UserAssistRecord> ListUserAssistRecords(UserAssistLayout layout);

// Deletes the values of these raw names in the Classic key; returns those that are still
// there afterwards (a value already gone counts as deleted).
std::vector<std::wstring> DeleteUserAssistRecords(const std::vector<std::wstring>& rawNames);
// Deletes each listed record's value in its own key; returns the records still there
// afterwards.
std::vector<UserAssistRecord> DeleteListedUserAssistRecords(
    const std::vector<UserAssistRecord>& records);

}  // namespace kestrova
