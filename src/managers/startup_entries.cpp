#include "managers/startup_entries.h"

#include <shlobj.h>

#include <algorithm>
#include <array>
#include <optional>

#include "managers/startup_approved.h"
#include "platform/file_paths.h"
#include "platform/key_path.h"
#include "platform/registry.h"
#include "platform/unique_handles.h"
#include "scan/registry_text.h"
#include "scan/registry_views.h"
#include "scan/windows_version.h"

namespace kestrova {

namespace {

struct ShortRoot {
    const wchar_t* name;
    HKEY root;
};

const std::array<ShortRoot, 6> kShortRoots = {{
    {L"HKLM", HKEY_LOCAL_MACHINE},
    {L"HKCU", HKEY_CURRENT_USER},
    {L"HKU", HKEY_USERS},
    {L"HKCC", HKEY_CURRENT_CONFIG},
    {L"HKCR", HKEY_CLASSES_ROOT},
    {L"HKDD", HKEY_DYN_DATA},
}};

constexpr wchar_t kDisabledSuffix = L'-';
constexpr size_t kMaxKeyNameLength = 255;
// The record key of an entry without a name.
constexpr wchar_t kUnnamedRecordKey[] = L"(Default)";

std::wstring TypeName(DWORD type) {
    switch (type) {
        case REG_NONE:
            return L"REG_NONE";
        case REG_SZ:
            return L"REG_SZ";
        case REG_EXPAND_SZ:
            return L"REG_EXPAND_SZ";
        case REG_BINARY:
            return L"REG_BINARY";
        case REG_DWORD:
            return L"REG_DWORD";
        case REG_DWORD_BIG_ENDIAN:
            return L"REG_DWORD_BIG_ENDIAN";
        case REG_LINK:
            return L"REG_LINK";
        case REG_MULTI_SZ:
            return L"REG_MULTI_SZ";
        case REG_RESOURCE_LIST:
            return L"REG_RESOURCE_LIST";
        case REG_FULL_RESOURCE_DESCRIPTOR:
            return L"REG_FULL_RESOURCE_DESCRIPTOR";
        case REG_RESOURCE_REQUIREMENTS_LIST:
            return L"REG_RESOURCE_REQUIREMENTS_LIST";
        case REG_QWORD:
            return L"REG_QWORD";
        default:
            return L"type " + std::to_wstring(type);
    }
}

// A value's data as the list shows it.
struct ValueText {
    std::wstring text;
    bool isText = true;
    bool expandable = false;  // REG_EXPAND_SZ, kept so through every move
};

// A missing value reads as empty text.
ValueText ReadValueText(const Registry& registry, const std::wstring& name) {
    if (std::optional<std::wstring> text = ReadTextData(registry, name)) {
        return {std::move(*text), true, registry.GetDataType(name) == RegDataType::ExpandString};
    }
    RawValue raw;
    registry.ReadRaw(name, raw);
    return {L"(" + TypeName(raw.type) + L")", false, false};
}

std::wstring ReadRecordText(const Registry& record, const wchar_t* name) {
    return ReadTextData(record, name).value_or(std::wstring());
}

void WriteValueText(Registry& registry, const std::wstring& name, const ValueText& value) {
    if (value.expandable) {
        registry.WriteExpandString(name, value.text);
    } else {
        registry.WriteString(name, value.text);
    }
}

std::wstring LocationOf(HKEY root, const std::wstring& path) {
    return RootKeyToShortName(root) + L"\\" + path;
}

std::wstring RecordPath(const std::wstring& keyName) {
    return std::wstring(kStartupRecordsKey) + L"\\" + keyName;
}

void ListRunValues(HKEY root, const std::wstring& path, bool enabled,
                   std::vector<StartupEntry>& entries) {
    Registry registry(root);
    if (!registry.OpenKeyReadOnly(path)) {
        return;
    }
    std::vector<std::wstring> names;
    registry.GetValueNames(names);
    for (std::wstring& name : names) {
        ValueText value = ReadValueText(registry, name);
        entries.push_back({std::move(name),
                           std::move(value.text),
                           LocationOf(root, path),
                           enabled,
                           value.isText,
                           {}});
    }
}

void ListRecords(std::vector<StartupEntry>& entries) {
    Registry registry(HKEY_LOCAL_MACHINE);
    if (!registry.OpenKeyReadOnly(kStartupRecordsKey) || !registry.HasSubKeys()) {
        return;
    }
    std::vector<std::wstring> keyNames;
    registry.GetKeyNames(keyNames);
    registry.CloseKey();
    for (std::wstring& keyName : keyNames) {
        Registry record(HKEY_LOCAL_MACHINE);
        if (!record.OpenKeyReadOnly(RecordPath(keyName))) {
            continue;
        }
        ValueText command = ReadValueText(record, L"command");
        entries.push_back({ReadRecordText(record, L"item"), std::move(command.text),
                           ReadRecordText(record, L"hkey") + L"\\" + ReadRecordText(record, L"key"),
                           false, command.isText, std::move(keyName)});
    }
}

// A location taken apart at its first "\".
struct Place {
    HKEY root = nullptr;
    std::wstring path;
};

Place PlaceOf(const std::wstring& location) {
    const size_t slash = location.find(L'\\');
    if (slash == std::wstring::npos) {
        return {};
    }
    return {ShortNameToRootKey(location.substr(0, slash)), location.substr(slash + 1)};
}

bool SameKeyPath(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// A name that can be a record key as it is: one key level, within the length of a key name.
bool IsPlainName(const std::wstring& name) {
    return !name.empty() && name.find(L'\\') == std::wstring::npos &&
           name.size() <= kMaxKeyNameLength;
}

// True when the record key holds the record of this name and live key.
bool IsRecordOf(const std::wstring& keyName, const std::wstring& name, const Place& place) {
    Registry record(HKEY_LOCAL_MACHINE);
    return record.OpenKeyReadOnly(RecordPath(keyName)) && ReadRecordText(record, L"item") == name &&
           ReadRecordText(record, L"hkey") == RootKeyToShortName(place.root) &&
           SameKeyPath(ReadRecordText(record, L"key"), place.path);
}

// A key name no record uses yet, for a name that cannot be a key name itself: "(Default)" for
// the unnamed value, the name with "/" for each "\" otherwise, numbered when taken.
std::wstring FreeRecordKey(const std::wstring& name) {
    std::wstring base = name.empty() ? kUnnamedRecordKey : name;
    for (wchar_t& c : base) {
        c = c == L'\\' ? L'/' : c;
    }
    base.resize(std::min(base.size(), kMaxKeyNameLength - 10));
    const Registry records(HKEY_LOCAL_MACHINE);
    std::wstring keyName = base;
    for (int number = 2; records.KeyExists(RecordPath(keyName)); ++number) {
        keyName = base + L" (" + std::to_wstring(number) + L")";
    }
    return keyName;
}

ChangeResult NotListedHere() {
    return ChangeResult::Failed(L"the entry was not listed for this version of Windows");
}

ChangeResult NoLongerIn(const std::wstring& location) {
    return ChangeResult::Failed(L"the entry is no longer in " + location);
}

// Classes 1 to 4: the value moves between the live key and its "-" sibling, as it is.
ChangeResult MoveBetweenSiblings(const StartupEntry& entry, const Place& place, bool enable) {
    if (!entry.recordKey.empty() || (place.path.back() == kDisabledSuffix) != enable) {
        return NotListedHere();
    }
    const std::wstring target =
        enable ? place.path.substr(0, place.path.size() - 1) : place.path + kDisabledSuffix;
    Registry source(place.root);
    if (!source.OpenKey(place.path, false)) {
        return ChangeResult::Failed(L"cannot open " + entry.location);
    }
    RawValue raw;
    if (!source.ReadRaw(entry.name, raw)) {
        return NoLongerIn(entry.location);
    }
    if (raw.type != REG_SZ && raw.type != REG_EXPAND_SZ) {
        return ChangeResult::Failed(L"the entry's value holds no text");
    }
    Registry destination(place.root);
    if (!destination.OpenKey(target, true)) {
        return ChangeResult::Failed(L"cannot open or create " + LocationOf(place.root, target));
    }
    destination.WriteRaw(entry.name, raw);
    if (!source.DeleteValue(entry.name)) {
        return ChangeResult::Failed(L"the entry was copied to " + LocationOf(place.root, target) +
                                    L" but could not be removed from " + entry.location);
    }
    return ChangeResult::Done();
}

// Classes 5 to 7, disabling: the record is written whole before the value goes.
ChangeResult DisableToRecord(const StartupEntry& entry, const Place& place) {
    if (!entry.recordKey.empty()) {
        return NotListedHere();
    }
    Registry live(place.root);
    if (!live.OpenKey(place.path, false)) {
        return ChangeResult::Failed(L"cannot open " + entry.location);
    }
    if (!live.ValueExists(entry.name)) {
        return NoLongerIn(entry.location);
    }
    const ValueText command = ReadValueText(live, entry.name);
    if (!command.isText) {
        return ChangeResult::Failed(L"the entry's value holds no text");
    }
    std::wstring keyName;
    if (!IsPlainName(entry.name)) {
        keyName = FreeRecordKey(entry.name);
    } else if (Registry(HKEY_LOCAL_MACHINE).KeyExists(RecordPath(entry.name)) &&
               !IsRecordOf(entry.name, entry.name, place)) {
        // Writing over it would lose that program.
        return ChangeResult::Failed(
            L"a disabled entry from another place is kept under the name '" + entry.name + L"'");
    } else {
        keyName = entry.name;
    }

    const std::wstring recordPath = RecordPath(keyName);
    Registry record(HKEY_LOCAL_MACHINE);
    const bool existed = record.KeyExists(recordPath);
    if (!record.OpenKey(recordPath, true)) {
        return ChangeResult::Failed(L"cannot create the disabled-entry record HKLM\\" + recordPath);
    }
    try {
        WriteValueText(record, L"command", command);
        record.WriteString(L"hkey", RootKeyToShortName(place.root));
        record.WriteString(L"inimapping", L"0");
        record.WriteString(L"item", entry.name);
        record.WriteString(L"key", place.path);
    } catch (const RegistryError& error) {
        record.CloseKey();
        if (!existed) {
            record.DeleteKey(recordPath);
        }
        return ChangeResult::Failed(L"the disabled-entry record could not be written: " +
                                    error.message());
    }
    record.CloseKey();
    if (!live.DeleteValue(entry.name)) {
        if (!existed) {
            record.DeleteKey(recordPath);
        }
        return ChangeResult::Failed(L"the entry could not be removed from " + entry.location);
    }
    return ChangeResult::Done();
}

// Classes 5 to 7, enabling: the value is written back, then the entry's record goes.
ChangeResult EnableFromRecord(const StartupEntry& entry, const Place& place) {
    if (entry.recordKey.empty()) {
        return NotListedHere();
    }
    Registry record(HKEY_LOCAL_MACHINE);
    if (!record.OpenKeyReadOnly(RecordPath(entry.recordKey))) {
        return ChangeResult::Failed(L"its disabled-entry record HKLM\\" +
                                    RecordPath(entry.recordKey) + L" is gone");
    }
    const ValueText command = ReadValueText(record, L"command");
    record.CloseKey();
    if (!command.isText) {
        return ChangeResult::Failed(L"the record's command holds no text");
    }
    Registry live(place.root);
    if (!live.OpenKey(place.path, true)) {
        return ChangeResult::Failed(L"cannot open or create " + entry.location);
    }
    WriteValueText(live, entry.name, command);
    live.CloseKey();

    // The record this program keeps for such an entry: named after the entry when its name can
    // be a key name, else the one it was listed from. Another program's record stays.
    const std::wstring keyName = IsPlainName(entry.name) ? entry.name : entry.recordKey;
    const std::wstring recordPath = RecordPath(keyName);
    Registry records(HKEY_LOCAL_MACHINE);
    if (!records.KeyExists(recordPath) ||
        (keyName != entry.recordKey && !IsRecordOf(keyName, entry.name, place))) {
        return ChangeResult::Done();
    }
    if (!records.DeleteKey(recordPath)) {
        return ChangeResult::Failed(L"the entry was written to " + entry.location +
                                    L" but its disabled-entry record HKLM\\" + recordPath +
                                    L" could not be removed");
    }
    return ChangeResult::Done();
}

// Windows 8 and later: one Run key or Startup folder and the records that say which of its
// programs run.
struct ApprovedSource {
    HKEY runRoot;        // nullptr for a Startup folder
    std::wstring place;  // the Run key's path, or the folder
    ApprovalKey records;

    std::wstring Location() const {
        return runRoot != nullptr ? LocationOf(runRoot, place) : place;
    }

    // Whether the program is still there: the Run value, or the folder's file.
    bool Holds(const std::wstring& name) const {
        if (runRoot == nullptr) {
            return IsExistingFile(WithTrailingBackslash(place) + name);
        }
        Registry run(runRoot);
        return run.OpenKeyReadOnly(place) && run.ValueExists(name);
    }
};

std::vector<ApprovedSource> ApprovedSources(const StartupPlaces& places) {
    const std::wstring approved = std::wstring(kStartupApprovedKey) + L"\\";
    std::vector<ApprovedSource> sources = {
        {HKEY_LOCAL_MACHINE, kRunKey, {HKEY_LOCAL_MACHINE, approved + L"Run"}},
        {HKEY_CURRENT_USER, kRunKey, {HKEY_CURRENT_USER, approved + L"Run"}},
    };
    if (places.run32) {
        sources.push_back(
            {HKEY_LOCAL_MACHINE, kRun32Key, {HKEY_LOCAL_MACHINE, approved + L"Run32"}});
    }
    if (!places.commonStartupFolder.empty()) {
        sources.push_back({nullptr,
                           places.commonStartupFolder,
                           {HKEY_LOCAL_MACHINE, approved + L"StartupFolder"}});
    }
    if (!places.userStartupFolder.empty()) {
        sources.push_back(
            {nullptr, places.userStartupFolder, {HKEY_CURRENT_USER, approved + L"StartupFolder"}});
    }
    return sources;
}

// Every file of the folder but its "desktop.ini" (the folder's own settings), in the file
// system's order.
void ListStartupFolder(const ApprovedSource& source, std::vector<StartupEntry>& entries) {
    const std::wstring folder = WithTrailingBackslash(source.place);
    WIN32_FIND_DATAW data;
    const UniqueFindHandle find(FindFirstFileW((folder + L"*").c_str(), &data));
    if (!find) {
        return;
    }
    do {
        const std::wstring name = data.cFileName;
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
            CompareStringOrdinal(name.c_str(), -1, L"desktop.ini", -1, TRUE) == CSTR_EQUAL) {
            continue;
        }
        entries.push_back(
            {name, folder + name, source.place, source.records.Enables(name), true, {}});
    } while (FindNextFileW(find.Get(), &data));
}

void ListApproved(const StartupPlaces& places, std::vector<StartupEntry>& entries) {
    for (const ApprovedSource& source : ApprovedSources(places)) {
        if (source.runRoot == nullptr) {
            ListStartupFolder(source, entries);
            continue;
        }
        const size_t first = entries.size();
        ListRunValues(source.runRoot, source.place, true, entries);
        for (size_t i = first; i < entries.size(); ++i) {
            entries[i].enabled = source.records.Enables(entries[i].name);
        }
    }
}

// Windows 8 and later: the entry's record is written; the program stays where it is.
ChangeResult SetApproval(const StartupEntry& entry, const StartupPlaces& places, bool enable) {
    if (!entry.recordKey.empty()) {
        return NotListedHere();
    }
    for (const ApprovedSource& source : ApprovedSources(places)) {
        if (!SameKeyPath(source.Location(), entry.location)) {
            continue;
        }
        if (!source.Holds(entry.name)) {
            return NoLongerIn(entry.location);
        }
        if (!source.records.Write(entry.name, enable)) {
            return ChangeResult::Failed(L"cannot open or create " +
                                        LocationOf(source.records.root, source.records.path));
        }
        return ChangeResult::Done();
    }
    return NotListedHere();
}

std::wstring ShellFolder(int csidl) {
    wchar_t folder[MAX_PATH] = {};
    if (SUCCEEDED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, folder))) {
        return folder;
    }
    return {};
}

}  // namespace

StartupScheme StartupSchemeOf(int versionClass) {
    if (versionClass >= 1 && versionClass <= 4) {
        return StartupScheme::SiblingKeys;
    }
    if (versionClass >= 5 && versionClass <= 7) {
        return StartupScheme::Records;
    }
    return StartupScheme::None;
}

StartupPlaces StartupPlacesOf(int versionClass) {
    return {StartupSchemeOf(versionClass), false, {}, {}};
}

StartupPlaces SystemStartupPlaces() {
    if (Windows8OrLater()) {
        return {StartupScheme::Approved, Has32BitRegistryView(), ShellFolder(CSIDL_COMMON_STARTUP),
                ShellFolder(CSIDL_STARTUP)};
    }
    // Vista and 7 disable programs as Windows XP does; Windows 8 brought the records.
    if (WindowsVistaOrLater()) {
        return {StartupScheme::Records, Has32BitRegistryView(), {}, {}};
    }
    return StartupPlacesOf(WindowsVersionClass());
}

HKEY ShortNameToRootKey(const std::wstring& name) {
    for (const ShortRoot& entry : kShortRoots) {
        if (name == entry.name) {
            return entry.root;
        }
    }
    return nullptr;
}

std::wstring RootKeyToShortName(HKEY root) {
    for (const ShortRoot& entry : kShortRoots) {
        if (root == entry.root) {
            return entry.name;
        }
    }
    return {};
}

std::vector<StartupEntry> ListStartupEntries(const StartupPlaces& places) {
    std::vector<StartupEntry> entries;
    switch (places.scheme) {
        case StartupScheme::SiblingKeys:
            for (const bool enabled : {true, false}) {
                const std::wstring suffix = enabled ? L"" : L"-";
                ListRunValues(HKEY_LOCAL_MACHINE, kRunKey + suffix, enabled, entries);
                ListRunValues(HKEY_LOCAL_MACHINE, kRunServicesKey + suffix, enabled, entries);
            }
            break;
        case StartupScheme::Records:
            ListRunValues(HKEY_LOCAL_MACHINE, kRunKey, true, entries);
            ListRunValues(HKEY_CURRENT_USER, kRunKey, true, entries);
            if (places.run32) {
                ListRunValues(HKEY_LOCAL_MACHINE, kRun32Key, true, entries);
            }
            ListRecords(entries);
            break;
        case StartupScheme::Approved:
            ListApproved(places, entries);
            break;
        case StartupScheme::None:
            break;
    }
    return entries;
}

std::vector<StartupEntry> ListStartupEntries(int versionClass) {
    return ListStartupEntries(StartupPlacesOf(versionClass));
}

ChangeResult ApplyStartupChange(const StartupEntry& entry, const StartupPlaces& places,
                                bool enable) {
    const StartupScheme scheme = places.scheme;
    if (scheme == StartupScheme::None) {
        return ChangeResult::Failed(L"startup programs are not managed on this version of Windows");
    }
    if (enable == entry.enabled) {
        return ChangeResult::Failed(enable ? L"the entry is enabled already"
                                           : L"the entry is disabled already");
    }
    if (!entry.isText) {
        return ChangeResult::Failed(L"the entry holds no command but a value of another type, " +
                                    entry.command);
    }
    try {
        if (scheme == StartupScheme::Approved) {
            return SetApproval(entry, places, enable);
        }
        const Place place = PlaceOf(entry.location);
        if (place.root == nullptr || place.path.empty()) {
            return ChangeResult::Failed(L"'" + entry.location + L"' names no registry key");
        }
        if (scheme == StartupScheme::SiblingKeys) {
            return MoveBetweenSiblings(entry, place, enable);
        }
        return enable ? EnableFromRecord(entry, place) : DisableToRecord(entry, place);
    } catch (const Error& error) {
        return ChangeResult::Failed(error.message());
    }
}

ChangeResult ApplyStartupChange(const StartupEntry& entry, int versionClass, bool enable) {
    return ApplyStartupChange(entry, StartupPlacesOf(versionClass), enable);
}

}  // namespace kestrova
