#include "managers/uninstall_entries.h"

#include <windows.h>

#include <algorithm>
#include <iterator>

#include "platform/list_model.h"
#include "platform/registry.h"
#include "platform/unique_handles.h"
#include "scan/registry_text.h"

namespace kestrova {

std::optional<std::vector<UninstallEntry>> ListUninstallEntries() {
    Registry registry(HKEY_LOCAL_MACHINE);
    if (!registry.OpenKeyReadOnly(kUninstallKey)) {
        return std::nullopt;
    }
    std::vector<UninstallEntry> entries;
    std::vector<std::wstring> names;
    registry.GetKeyNames(names);
    registry.CloseKey();
    for (const std::wstring& name : names) {
        const std::wstring keyPath = std::wstring(kUninstallKey) + L"\\" + name;
        Registry registration(HKEY_LOCAL_MACHINE);
        if (!registration.OpenKeyReadOnly(keyPath)) {
            continue;
        }
        std::wstring displayName =
            ReadTextData(registration, L"DisplayName").value_or(std::wstring());
        if (!displayName.empty()) {
            entries.push_back({std::move(displayName),
                               ReadTextData(registration, L"UninstallString").value_or(L""),
                               keyPath});
        }
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const UninstallEntry& a, const UninstallEntry& b) {
                         return LocaleLess(a.displayName, b.displayName);
                     });
    return entries;
}

bool IsUninstallKeyPath(const std::wstring& keyPath) {
    const int prefixLength = static_cast<int>(std::size(kUninstallKey) - 1);
    if (keyPath.size() <= static_cast<size_t>(prefixLength) + 1 || keyPath[prefixLength] != L'\\' ||
        CompareStringOrdinal(keyPath.c_str(), prefixLength, kUninstallKey, prefixLength, TRUE) !=
            CSTR_EQUAL) {
        return false;
    }
    return keyPath.find(L'\\', prefixLength + 1) == std::wstring::npos;
}

ChangeResult DeleteUninstallEntry(const std::wstring& keyPath) {
    if (!IsUninstallKeyPath(keyPath)) {
        return ChangeResult::Failed(L"'" + keyPath + L"' is not a key under HKLM\\" +
                                    kUninstallKey);
    }
    Registry registry(HKEY_LOCAL_MACHINE);
    if (!registry.KeyExists(keyPath)) {
        return ChangeResult::Failed(L"there is no key HKLM\\" + keyPath);
    }
    if (!registry.DeleteKey(keyPath)) {
        return ChangeResult::Failed(L"the key HKLM\\" + keyPath + L" could not be deleted");
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
