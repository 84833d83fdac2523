#include "scan/system_folders.h"

#include <windows.h>

#include "platform/registry.h"

namespace kestrova {

namespace {

constexpr size_t kMaxSystemFolderLength = 254;
constexpr wchar_t kCurrentVersionKey[] = L"\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

std::wstring WithTrailingBackslash(std::wstring path) {
    if (!path.empty() && path.back() != L'\\') {
        path += L'\\';
    }
    return path;
}

}  // namespace

std::wstring SystemFolder() {
    std::wstring folder(MAX_PATH, L'\0');
    UINT length = GetSystemDirectoryW(folder.data(), static_cast<UINT>(folder.size()));
    if (length >= folder.size()) {
        folder.assign(length, L'\0');
        length = GetSystemDirectoryW(folder.data(), static_cast<UINT>(folder.size()));
    }
    folder.resize(length < folder.size() ? length : 0);
    if (folder.size() > kMaxSystemFolderLength) {
        folder.resize(kMaxSystemFolderLength);
    }
    return WithTrailingBackslash(std::move(folder));
}

std::wstring WindowsFolderOf(const std::wstring& systemFolder) {
    if (systemFolder.size() < 4) {
        return {};
    }
    // The search starts at the fourth character so the "\" after a drive ("C:\") is skipped.
    const size_t cut = systemFolder.find(L'\\', 3);
    return cut == std::wstring::npos ? systemFolder : systemFolder.substr(0, cut + 1);
}

std::wstring WindowsFolder() {
    return WindowsFolderOf(SystemFolder());
}

std::wstring ProgramFilesFolder() {
    Registry registry(HKEY_LOCAL_MACHINE);
    // Read access is enough, and all a limited user gets under HKEY_LOCAL_MACHINE.
    if (!registry.OpenKeyReadOnly(kCurrentVersionKey)) {
        return {};
    }
    // A value of another type names no folder; treating it as missing keeps a scan going
    // instead of ending it with a data-type error.
    const RegDataType type = registry.GetDataType(L"ProgramFilesDir");
    if (type != RegDataType::String && type != RegDataType::ExpandString) {
        return {};
    }
    return WithTrailingBackslash(registry.ReadString(L"ProgramFilesDir"));
}

std::wstring TempFolder() {
    // A temporary folder longer than 80 characters is returned whole: a shortened path would
    // name some other folder, so every caller gets the real one.
    std::wstring folder(MAX_PATH + 1, L'\0');
    DWORD length = GetTempPathW(static_cast<DWORD>(folder.size()), folder.data());
    if (length >= folder.size()) {
        folder.assign(length + 1, L'\0');
        length = GetTempPathW(static_cast<DWORD>(folder.size()), folder.data());
    }
    folder.resize(length < folder.size() ? length : 0);
    return WithTrailingBackslash(std::move(folder));
}

}  // namespace kestrova
