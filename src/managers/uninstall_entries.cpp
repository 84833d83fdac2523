#include "managers/uninstall_entries.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

#include "platform/key_path.h"
#include "platform/list_model.h"
#include "platform/registry.h"
#include "platform/unique_handles.h"
#include "scan/registry_text.h"
#include "scan/windows_version.h"

namespace kestrova {

namespace {

// One Uninstall key and how its registrations' key paths are written.
struct UninstallPlace {
    HKEY root;
    const wchar_t* path;
    bool withRoot;  // key paths begin with the root's long name

    std::wstring KeyPathOf(const std::wstring& name) const {
        const std::wstring path = std::wstring(this->path) + L"\\" + name;
        return withRoot ? KeyPath{root, L"\\" + path}.Text() : path;
    }
};

std::vector<UninstallPlace> PlacesOf(UninstallScope scope) {
    if (scope == UninstallScope::Machine) {
        return {{HKEY_LOCAL_MACHINE, kUninstallKey, false}};
    }
    return {{HKEY_LOCAL_MACHINE, kUninstallKey, true},
            {HKEY_LOCAL_MACHINE, kUninstall32Key, true},
            {HKEY_CURRENT_USER, kUninstallKey, true}};
}

// What Windows Vista and later leave out of their list: parts of the system, and updates
// listed under the program they belong to.
bool HiddenByWindows(const Registry& registration) {
    RawValue component;
    if (registration.ReadRaw(L"SystemComponent", component) && component.type == REG_DWORD &&
        component.data.size() == sizeof(DWORD)) {
        DWORD value = 0;
        std::memcpy(&value, component.data.data(), sizeof(value));
        if (value == 1) {
            return true;
        }
    }
    return !ReadTextData(registration, L"ParentKeyName").value_or(std::wstring()).empty();
}

// Appends the named registrations of one Uninstall key; false when the key does not open.
bool ListPlace(const UninstallPlace& place, bool filtered, std::vector<UninstallEntry>& entries) {
    Registry registry(place.root);
    if (!registry.OpenKeyReadOnly(place.path)) {
        return false;
    }
    std::vector<std::wstring> names;
    registry.GetKeyNames(names);
    registry.CloseKey();
    for (const std::wstring& name : names) {
        Registry registration(place.root);
        if (!registration.OpenKeyReadOnly(std::wstring(place.path) + L"\\" + name)) {
            continue;
        }
        std::wstring displayName =
            ReadTextData(registration, L"DisplayName").value_or(std::wstring());
        if (!displayName.empty() && !(filtered && HiddenByWindows(registration))) {
            entries.push_back({std::move(displayName),
                               ReadTextData(registration, L"UninstallString").value_or(L""),
                               place.KeyPathOf(name)});
        }
    }
    return true;
}

bool SamePath(const std::wstring& text, size_t at, const std::wstring& path) {
    return text.size() >= at + path.size() &&
           CompareStringOrdinal(text.c_str() + at, static_cast<int>(path.size()), path.c_str(),
                                static_cast<int>(path.size()), TRUE) == CSTR_EQUAL;
}

// The registration keyPath names: its root and its path from the root (without a leading
// "\"); nothing when it names no registration.
std::optional<KeyPath> RegistrationOf(const std::wstring& keyPath) {
    struct Form {
        HKEY root;
        std::wstring prefix;  // the root's long name and "\", or nothing for HKEY_LOCAL_MACHINE
        const wchar_t* key;
    };
    const std::wstring machine = RootKeyName(HKEY_LOCAL_MACHINE) + L"\\";
    const Form forms[] = {
        {HKEY_LOCAL_MACHINE, L"", kUninstallKey},
        {HKEY_LOCAL_MACHINE, L"", kUninstall32Key},
        {HKEY_LOCAL_MACHINE, machine, kUninstallKey},
        {HKEY_LOCAL_MACHINE, machine, kUninstall32Key},
        {HKEY_CURRENT_USER, RootKeyName(HKEY_CURRENT_USER) + L"\\", kUninstallKey},
    };
    for (const Form& form : forms) {
        // The root's name exactly, as Key Names have it; the path in any letter case.
        if (keyPath.compare(0, form.prefix.size(), form.prefix) != 0) {
            continue;
        }
        const std::wstring key = form.key;
        const size_t name = form.prefix.size() + key.size() + 1;
        if (keyPath.size() > name && SamePath(keyPath, form.prefix.size(), key) &&
            keyPath[name - 1] == L'\\' && keyPath.find(L'\\', name) == std::wstring::npos) {
            return KeyPath{form.root, keyPath.substr(form.prefix.size())};
        }
    }
    return std::nullopt;
}

}  // namespace

UninstallScope SystemUninstallScope() {
    return WindowsVistaOrLater() ? UninstallScope::AllPlaces : UninstallScope::Machine;
}

std::optional<std::vector<UninstallEntry>> ListUninstallEntries(UninstallScope scope) {
    std::vector<UninstallEntry> entries;
    bool opened = false;
    for (const UninstallPlace& place : PlacesOf(scope)) {
        opened = ListPlace(place, scope == UninstallScope::AllPlaces, entries) || opened;
    }
    if (!opened) {
        return std::nullopt;
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const UninstallEntry& a, const UninstallEntry& b) {
                         return LocaleLess(a.displayName, b.displayName);
                     });
    return entries;
}

std::optional<std::vector<UninstallEntry>> ListUninstallEntries() {
    return ListUninstallEntries(UninstallScope::Machine);
}

bool IsUninstallKeyPath(const std::wstring& keyPath) {
    return RegistrationOf(keyPath).has_value();
}

ChangeResult DeleteUninstallEntry(const std::wstring& keyPath) {
    const std::optional<KeyPath> registration = RegistrationOf(keyPath);
    if (!registration) {
        return ChangeResult::Failed(L"'" + keyPath +
                                    L"' is not a registration: a key right under an Uninstall "
                                    L"key of HKLM (also the 32-bit one) or HKCU");
    }
    const std::wstring text = RootKeyName(registration->root) + L"\\" + registration->path;
    Registry registry(registration->root);
    if (!registry.KeyExists(registration->path)) {
        return ChangeResult::Failed(L"there is no key " + text);
    }
    if (!registry.DeleteKey(registration->path)) {
        return ChangeResult::Failed(L"the key " + text + L" could not be deleted");
    }
    return ChangeResult::Done();
}

bool LaunchCommandLine(const std::wstring& commandLine) {
    if (commandLine.empty()) {
        return false;
    }
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWDEFAULT;
    std::wstring line = commandLine;  // CreateProcessW may write into it
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return false;
    }
    const UniqueKernelHandle processHandle(process.hProcess);
    const UniqueKernelHandle threadHandle(process.hThread);
    return true;
}

size_t StartUninstallers(const std::vector<std::wstring>& uninstallStrings,
                         const CommandLauncher& launch) {
    size_t started = 0;
    for (const std::wstring& command : uninstallStrings) {
        if (!command.empty() && launch(command)) {
            ++started;
        }
    }
    return started;
}

}  // namespace kestrova
