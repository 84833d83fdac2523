#include "tools/user_assist.h"

#include <array>

#include "platform/registry.h"
#include "tools/find_file_masks.h"

namespace kestrova {

namespace {

// Kinds whose records are of no known use.
constexpr std::array<std::wstring_view, 6> kUnknownKinds = {
    L"UEME_CTLSESSION", L"UEME_CTLCUACount", L"UEME_UIQCUT",
    L"UEME_UIHOTKEY",   L"UEME_RUNWMCMD",    L"UEME_UITOOLBAR",
};

// From the last "." after the last "\" or ":"; empty when there is none.
std::wstring_view Extension(std::wstring_view path) {
    const size_t dot = path.find_last_of(L".\\:");
    return dot == std::wstring_view::npos || path[dot] != L'.' ? std::wstring_view()
                                                               : path.substr(dot);
}

bool IsLnkExtension(std::wstring_view extension) {
    return UpperAscii(std::wstring(extension)) == L".LNK";
}

}  // namespace

std::wstring DecodeUserAssistName(std::wstring_view name) {
    std::wstring decoded(name);
    for (wchar_t& c : decoded) {
        const wchar_t upper = UpperAscii(c);
        if (upper < L'A' || upper > L'Z') {
            continue;
        }
        c = static_cast<wchar_t>(upper > L'M' ? c - 13 : c + 13);
    }
    return decoded;
}

UserAssistItem ParseUserAssistName(std::wstring_view name) {
    const std::wstring decoded = DecodeUserAssistName(name);
    UserAssistItem item;
    const size_t colon = decoded.find(L':');
    if (colon == std::wstring::npos) {
        item.itemPath = decoded;
    } else {
        item.itemType = decoded.substr(0, colon);
        item.itemPath = decoded.substr(colon + 1);
    }
    const std::wstring kind = item.itemType;
    if (kind == L"UEME_RUNPATH") {
        item.itemType = L"Executables";
    }
    if (kind == L"UEME_RUNCPL") {
        item.itemType = L"Control Panel Applets";
    }
    for (const std::wstring_view unknown : kUnknownKinds) {
        if (kind == unknown) {
            item.itemType = L"Unknown";
        }
    }
    if (IsLnkExtension(Extension(item.itemPath))) {
        item.itemType = L"Start Menu";
    } else if (item.itemPath.find(L'{') != std::wstring::npos) {
        item.itemType = L"System";
    } else if (kind == L"UEME_RUNPIDL") {
        item.itemType = L"Folder";
    }
    return item;
}

std::vector<UserAssistRecord> ListUserAssistRecords() {
    std::vector<UserAssistRecord> records;
    Registry registry(HKEY_CURRENT_USER);
    if (!registry.OpenKeyReadOnly(kUserAssistKeyPath)) {
        return records;
    }
    std::vector<std::wstring> names;
    registry.GetValueNames(names);
    registry.CloseKey();
    records.reserve(names.size());
    for (std::wstring& name : names) {
        UserAssistItem item = ParseUserAssistName(name);
        records.push_back({std::move(item.itemPath), std::move(item.itemType), std::move(name)});
    }
    return records;
}

std::vector<std::wstring> DeleteUserAssistRecords(const std::vector<std::wstring>& rawNames) {
    std::vector<std::wstring> failed;
    Registry registry(HKEY_CURRENT_USER);
    const bool opened = registry.OpenKey(kUserAssistKeyPath, false);
    Registry reader(HKEY_CURRENT_USER);
    const bool readable = reader.OpenKeyReadOnly(kUserAssistKeyPath);
    for (const std::wstring& name : rawNames) {
        const bool deleted = opened && registry.DeleteValue(name);
        // A value that is still there was not deleted, whatever the reason.
        if (!deleted && readable && reader.ValueExists(name)) {
            failed.push_back(name);
        }
    }
    return failed;
}

}  // namespace kestrova
