#pragma once
// Programs registered for removal under the Uninstall key of HKEY_LOCAL_MACHINE: listing the
// registrations that have a display name, deleting registration keys, and starting uninstallers
// without waiting for them.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "managers/change_result.h"

namespace kestrova {

// Under HKEY_LOCAL_MACHINE.
inline constexpr wchar_t kUninstallKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

struct UninstallEntry {
    std::wstring displayName;      // "DisplayName", never empty
    std::wstring uninstallString;  // "UninstallString"; empty when missing
    std::wstring keyPath;          // kUninstallKey + "\" + the registration's subkey name

    friend bool operator==(const UninstallEntry&, const UninstallEntry&) = default;
};

// One entry per registration with a non-empty display name (a value that is not text counts
// as empty), sorted by display name as the user's locale orders texts for display; equal
// names keep the registry's order. Registrations that do not open are passed over. Nothing
// (no list at all) when the Uninstall key cannot be opened: a list on show keeps its rows.
std::optional<std::vector<UninstallEntry>> ListUninstallEntries();

// True when keyPath names one registration: the Uninstall key's path (in any letter case),
// "\" and one non-empty key name.
bool IsUninstallKeyPath(const std::wstring& keyPath);

// Deletes the registration key with all its subkeys and values. Anything that is not a
// registration's key path is refused and left alone.
ChangeResult DeleteUninstallEntry(const std::wstring& keyPath);

// Starts a command line; true when it started. The program does not wait for it.
using CommandLauncher = std::function<bool(const std::wstring& commandLine)>;

// Starts the command line as the system's program starter does (the program is found from
// the line's start, also unquoted with blanks), its window shown as the program chooses.
bool LaunchCommandLine(const std::wstring& commandLine);

// Starts each non-empty uninstall string in order, one right after the other, without waiting
// and without looking at any result; empty ones are passed over. Returns how many started.
size_t StartUninstallers(const std::vector<std::wstring>& uninstallStrings,
                         const CommandLauncher& launch = LaunchCommandLine);

}  // namespace kestrova
