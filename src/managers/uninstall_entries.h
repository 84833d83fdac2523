#pragma once
// Programs registered for removal: listing the registrations that have a display name,
// deleting registration keys, and starting uninstallers without waiting for them. Up to
// Windows Server 2003 the list is that of the Uninstall key of HKEY_LOCAL_MACHINE; Windows
// Vista and later also keep the registrations of 32-bit programs (in the 32-bit registry
// view) and of the current user's own programs apart, and leave system components and
// updates of other programs out of their list.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "managers/change_result.h"

namespace kestrova {

// Under HKEY_LOCAL_MACHINE, and on Windows Vista and later under HKEY_CURRENT_USER too.
inline constexpr wchar_t kUninstallKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
// Under HKEY_LOCAL_MACHINE: the Uninstall key of the 32-bit registry view, as this program
// reaches it.
inline constexpr wchar_t kUninstall32Key[] =
    L"Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// Which registrations are listed.
enum class UninstallScope {
    // HKEY_LOCAL_MACHINE's Uninstall key alone, every registration with a display name;
    // key paths without their root (Windows up to Server 2003).
    Machine,
    // HKEY_LOCAL_MACHINE's Uninstall key, that of the 32-bit view and HKEY_CURRENT_USER's,
    // without system components (SystemComponent = 1) and updates of another program (a
    // ParentKeyName); key paths with their root (Windows Vista and later).
    AllPlaces,
};

// AllPlaces on Windows Vista and later, Machine on any other system.
UninstallScope SystemUninstallScope();

struct UninstallEntry {
    std::wstring displayName;      // "DisplayName", never empty
    std::wstring uninstallString;  // "UninstallString"; empty when missing
    // The registration's key: for Machine, kUninstallKey + "\" + its subkey name (under
    // HKEY_LOCAL_MACHINE); for AllPlaces, its root's long name, "\", the Uninstall key's
    // path, "\" and the subkey name ("HKEY_CURRENT_USER\Software\...\Uninstall\App").
    std::wstring keyPath;

    friend bool operator==(const UninstallEntry&, const UninstallEntry&) = default;
};

// One entry per registration of the scope with a non-empty display name (a value that is not
// text counts as empty), sorted by display name as the user's locale orders texts for
// display; equal names keep the order of the places above and the registry's order in each.
// Registrations that do not open are passed over. Nothing (no list at all) when no Uninstall
// key of the scope can be opened: a list on show keeps its rows.
std::optional<std::vector<UninstallEntry>> ListUninstallEntries(UninstallScope scope);
// The Machine scope.
std::optional<std::vector<UninstallEntry>> ListUninstallEntries();

// True when keyPath names one registration: one non-empty key name right under one of the
// Uninstall keys (paths in any letter case), written as either scope lists it: under
// HKEY_LOCAL_MACHINE without a root ("Software\...\Uninstall\App", also the 32-bit view's
// key), or after the root's exact long name ("HKEY_LOCAL_MACHINE\" or "HKEY_CURRENT_USER\").
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
