#include "managers/ie_addons.h"

#include <algorithm>
#include <cstring>

#include "managers/ie_addons_places.h"
#include "platform/list_model.h"
#include "platform/registry.h"

namespace kestrova {

namespace {

bool IsBlankOrControl(wchar_t c) {
    return c <= L' ';
}

// The text without leading and trailing blanks and control characters.
std::wstring Trimmed(const std::wstring& text) {
    const auto first = std::find_if_not(text.begin(), text.end(), IsBlankOrControl);
    const auto last = std::find_if_not(text.rbegin(), text.rend(), IsBlankOrControl).base();
    return first < last ? std::wstring(first, last) : std::wstring();
}

bool SameTextIgnoringCase(const std::wstring& a, const wchar_t* b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b, -1, TRUE) == CSTR_EQUAL;
}

// From the last "." on, unless a "\" or ":" follows it; empty when there is none.
std::wstring FileExtension(const std::wstring& path) {
    const size_t cut = path.find_last_of(L".\\:");
    return cut != std::wstring::npos && path[cut] == L'.' ? path.substr(cut) : std::wstring();
}

// After the last "\" or ":".
std::wstring FileNamePart(const std::wstring& path) {
    const size_t cut = path.find_last_of(L"\\:");
    return cut == std::wstring::npos ? path : path.substr(cut + 1);
}

// The "Type" text and registration key of each kind, in the order of AddonKind.
struct KindInfo {
    const wchar_t* text;
    const KeyPath* registration;
};

const KindInfo kKinds[] = {
    {L"Toolbar ALL USER", &kToolbarAllUsersKey},
    {L"Toolbar CURRENT USER", &kToolbarCurrentUserKey},
    {L"Browser Extensions", &kBrowserExtensionsKey},
    {L"Exp. ALL USER", &kExplorerBarsAllUsersKey},
    {L"Exp. CURRENT USER", &kExplorerBarsCurrentUserKey},
    {L"Menu Extensions", &kMenuExtensionsKey},
    {L"Download Handler", &kInternetExplorerKey},
};

const KindInfo& KindOf(AddonKind kind) {
    return kKinds[static_cast<size_t>(kind)];
}

bool IsToolbarKind(AddonKind kind) {
    return kind == AddonKind::ToolbarAllUsers || kind == AddonKind::ToolbarCurrentUser;
}

std::wstring HexBytes(const std::vector<BYTE>& bytes) {
    static constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
    std::wstring text;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0) {
            text += L',';
        }
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 0x0F];
    }
    return text;
}

std::vector<std::wstring> Names(const KeyPath& key, bool subKeys) {
    std::vector<std::wstring> names;
    Registry registry(key.root);
    if (registry.OpenKeyReadOnly(key.path)) {
        if (subKeys) {
            registry.GetKeyNames(names);
        } else {
            registry.GetValueNames(names);
        }
    }
    return names;
}

void AddToolbars(std::vector<AddonRow>& rows, AddonKind kind) {
    for (const std::wstring& name : Names(AddonRegistrationKey(kind), false)) {
        if (name.empty() || name[0] != L'{') {
            continue;
        }
        const ToolbarInfo info = ReadClassInfo(name, kServerKeyName);
        AddAddonRow(rows, kind, info.classTitle, name, info.serverFile);
    }
}

// Browser extensions and explorer bars: the subkeys of their key, served by a ".dll".
void AddDllServedClasses(std::vector<AddonRow>& rows, AddonKind kind) {
    for (const std::wstring& name : Names(AddonRegistrationKey(kind), true)) {
        const ToolbarInfo info = ReadClassInfo(name, kServerKeyName);
        if (SameTextIgnoringCase(FileExtension(info.serverFile), L".dll")) {
            AddAddonRow(rows, kind, info.classTitle, name, info.serverFile);
        }
    }
}

void AddMenuExtensions(std::vector<AddonRow>& rows) {
    for (const std::wstring& name : Names(kMenuExtensionsKey, true)) {
        const std::wstring path =
            ReadValueAsText(kMenuExtensionsKey.root, kMenuExtensionsKey.Child(name).path, L"");
        AddAddonRow(rows, AddonKind::MenuExtension, name, kMenuExtensionsEntry, path);
    }
}

void AddDownloadHandler(std::vector<AddonRow>& rows) {
    const std::wstring clsid =
        ReadValueAsText(kInternetExplorerKey.root, kInternetExplorerKey.path, kDownloadUiValue);
    const ToolbarInfo info = ReadClassInfo(clsid, kServerKeyName);
    AddAddonRow(rows, AddonKind::DownloadHandler, info.classTitle, clsid, info.serverFile);
}

}  // namespace

const wchar_t* AddonKindText(AddonKind kind) {
    return KindOf(kind).text;
}

const KeyPath& AddonRegistrationKey(AddonKind kind) {
    return *KindOf(kind).registration;
}

bool IsSingleKeyName(const std::wstring& text) {
    return !text.empty() && text.find(L'\\') == std::wstring::npos;
}

std::wstring ReadValueAsText(HKEY root, const std::wstring& keyPath,
                             const std::wstring& valueName) {
    Registry registry(root);
    RawValue raw;
    if (!registry.OpenKeyReadOnly(keyPath) || !registry.ReadRaw(valueName, raw)) {
        return {};
    }
    switch (raw.type) {
        case REG_SZ:
        case REG_EXPAND_SZ: {
            std::wstring text(raw.data.size() / sizeof(wchar_t), L'\0');
            if (!text.empty()) {
                std::memcpy(text.data(), raw.data.data(), text.size() * sizeof(wchar_t));
            }
            return text.substr(0, text.find(L'\0'));
        }
        case REG_DWORD: {
            if (raw.data.size() != sizeof(DWORD)) {
                return {};
            }
            DWORD value = 0;
            std::memcpy(&value, raw.data.data(), sizeof(value));
            return std::to_wstring(static_cast<int32_t>(value));
        }
        case REG_BINARY:
            return HexBytes(raw.data);
        default:
            return {};
    }
}

ToolbarInfo ReadClassInfo(const std::wstring& clsid, const std::wstring& serverKeyName) {
    ToolbarInfo info;
    // A text that is no single key name names no class, and never another key of CLSID.
    if (!IsSingleKeyName(clsid)) {
        return info;
    }
    const KeyPath classKey = kClassesKey.Child(clsid);
    info.classTitle = ReadValueAsText(classKey.root, classKey.path, L"");
    info.serverFile = ReadValueAsText(classKey.root, classKey.Child(serverKeyName).path, L"");
    return info;
}

std::wstring AddonDisplayName(AddonKind kind, const std::wstring& rawName) {
    std::wstring name;
    if (Trimmed(rawName).empty()) {
        name = L"(Unknown)";
    } else {
        name = rawName;
        name.erase(std::remove(name.begin(), name.end(), L'&'), name.end());
        if (name.empty()) {
            name = L"Unknown Toolbar";
        }
    }
    if (IsToolbarKind(kind)) {
        name += L" Toolbar";
    }
    return name;
}

void AddAddonRow(std::vector<AddonRow>& rows, AddonKind kind, const std::wstring& rawName,
                 const std::wstring& entry, const std::wstring& path) {
    if (Trimmed(entry).empty()) {
        return;
    }
    AddonRow row;
    row.kind = kind;
    row.name = AddonDisplayName(kind, rawName);
    row.type = AddonKindText(kind);
    row.entry = entry;
    row.path = path;
    const KeyPath& key = AddonRegistrationKey(kind);
    if (kind == AddonKind::MenuExtension) {
        row.keyName = rawName;
        row.id = key.TextOf(rawName);
    } else if (kind == AddonKind::DownloadHandler) {
        row.keyName = entry;
        row.id = key.TextOf(kDownloadUiValue);
    } else {
        row.keyName = entry;
        row.id = key.TextOf(entry);
    }
    rows.push_back(std::move(row));
}

std::optional<std::wstring> AddonProtectedMessage(const AddonRow& row) {
    if (row.kind == AddonKind::ToolbarCurrentUser &&
        (row.name == L"Address Toolbar" || row.name == L"Links Toolbar")) {
        return kAddressLinksProtectedMessage;
    }
    if (row.kind == AddonKind::ExplorerBarAllUsers ||
        row.kind == AddonKind::ExplorerBarCurrentUser) {
        const std::wstring file = FileNamePart(row.path);
        for (const wchar_t* builtIn : {L"browseui.dll", L"shell32.dll", L"shdocvw.dll"}) {
            if (SameTextIgnoringCase(file, builtIn)) {
                return kDefaultExplorerBarsProtectedMessage;
            }
        }
    }
    return std::nullopt;
}

std::vector<AddonRow> FillAddonList(const AddonKinds& kinds) {
    std::vector<AddonRow> rows;
    if (kinds.toolbars) {
        AddToolbars(rows, AddonKind::ToolbarAllUsers);
        AddToolbars(rows, AddonKind::ToolbarCurrentUser);
    }
    if (kinds.browserExtensions) {
        AddDllServedClasses(rows, AddonKind::BrowserExtension);
    }
    if (kinds.explorerBars) {
        AddDllServedClasses(rows, AddonKind::ExplorerBarAllUsers);
        AddDllServedClasses(rows, AddonKind::ExplorerBarCurrentUser);
    }
    if (kinds.menuExtensions) {
        AddMenuExtensions(rows);
    }
    if (kinds.downloadHandler) {
        AddDownloadHandler(rows);
    }
    std::stable_sort(rows.begin(), rows.end(), [](const AddonRow& a, const AddonRow& b) {
        return LocaleLess(a.name, b.name);
    });
    return rows;
}

}  // namespace kestrova
