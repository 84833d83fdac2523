#include "tools/user_assist.h"

#include <array>

#include "platform/registry.h"
#include "scan/windows_version.h"
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

UserAssistLayout SystemUserAssistLayout() {
    return Windows7OrLater() ? UserAssistLayout::Windows7 : UserAssistLayout::Classic;
}

namespace {

// Appends every value of the key: its name parsed as the layout names them, and for
// Windows 7 and later the counters its data holds.
void ListKey(const wchar_t* keyPath, UserAssistLayout layout,
             std::vector<UserAssistRecord>& records) {
    Registry registry(HKEY_CURRENT_USER);
    if (!registry.OpenKeyReadOnly(keyPath)) {
        return;
    }
    std::vector<std::wstring> names;
    registry.GetValueNames(names);
    records.reserve(records.size() + names.size());
    for (std::wstring& name : names) {
        const bool classic = layout == UserAssistLayout::Classic;
        UserAssistItem item = classic ? ParseUserAssistName(name) : ParseUserAssist7Name(name);
        std::optional<UserAssistUsage> usage;
        RawValue raw;
        if (!classic && registry.ReadRaw(name, raw)) {
            usage = ReadUserAssistUsage(raw.type, raw.data);
        }
        records.push_back(
            {std::move(item.itemPath), std::move(item.itemType), std::move(name), keyPath, usage});
    }
}

}  // namespace

std::vector<UserAssistRecord> ListUserAssistRecords(UserAssistLayout layout) {
    std::vector<UserAssistRecord> records;
    if (layout == UserAssistLayout::Classic) {
        ListKey(kUserAssistKeyPath, layout, records);
    } else {
        ListKey(kUserAssistProgramsKeyPath, layout, records);
        ListKey(kUserAssistShortcutsKeyPath, layout, records);
    }
    return records;
}

std::vector<UserAssistRecord> ListUserAssistRecords() {
    return ListUserAssistRecords(UserAssistLayout::Classic);
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

std::vector<UserAssistRecord> DeleteListedUserAssistRecords(
    const std::vector<UserAssistRecord>& records) {
    std::vector<UserAssistRecord> failed;
    for (const UserAssistRecord& record : records) {
        Registry registry(HKEY_CURRENT_USER);
        const bool deleted =
            registry.OpenKey(record.keyPath, false) && registry.DeleteValue(record.rawName);
        // A value that is still there was not deleted, whatever the reason.
        Registry reader(HKEY_CURRENT_USER);
        if (!deleted && reader.OpenKeyReadOnly(record.keyPath) &&
            reader.ValueExists(record.rawName)) {
            failed.push_back(record);
        }
    }
    return failed;
}

}  // namespace kestrova
