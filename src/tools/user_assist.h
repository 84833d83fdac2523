#pragma once
// Explorer's UserAssist usage records: value names under the current user scrambled with
// ROT13. They are listed decoded, with a type told from the decoded name, and deleted by their
// raw names; the values' data is never read or written.

#include <string>
#include <string_view>
#include <vector>

namespace kestrova {

// Under HKEY_CURRENT_USER.
inline constexpr wchar_t kUserAssistKeyPath[] =
    L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\UserAssist\\"
    L"{75048700-EF1F-11D0-9888-006097DEACF9}\\Count";

// ROT13 over the ASCII letters, case kept; everything else passes unchanged. It also encodes.
std::wstring DecodeUserAssistName(std::wstring_view name);

struct UserAssistItem {
    std::wstring itemType;  // the kind before the first colon, or the type a rule gives
    std::wstring itemPath;  // after the first colon; the whole name without one
};

// Decodes name, splits it at its first colon and gives it its type.
UserAssistItem ParseUserAssistName(std::wstring_view name);

// One row of the viewer.
struct UserAssistRecord {
    std::wstring fileName;  // the item's path
    std::wstring type;      // the item's type
    std::wstring rawName;   // the value's name as stored
};

// Every value of the key, in the registry's order; empty when the key is missing.
std::vector<UserAssistRecord> ListUserAssistRecords();

// Deletes the values of these raw names; returns those that are still there afterwards (a
// value already gone counts as deleted).
std::vector<std::wstring> DeleteUserAssistRecords(const std::vector<std::wstring>& rawNames);

}  // namespace kestrova
