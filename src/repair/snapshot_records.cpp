#include "repair/snapshot_records.h"

#include <vector>

#include "repair/value_encoding.h"
#include "scan/key_names.h"

namespace kestrova {

namespace {

std::optional<RawValue> ReadValue(const Registry& registry, const std::wstring& name) {
    RawValue raw;
    if (!registry.ReadRaw(name, raw)) {
        return std::nullopt;
    }
    return raw;
}

XmlElement AppendRecord(XmlElement& entry, const std::wstring& subKey) {
    XmlElement record = entry.AppendChild(kValueRecordTag);
    record.SetAttribute(kRecordSubKeyAttribute, subKey);
    return record;
}

// True when the lists hold as many names as the key reports: a key opened with too few
// rights to list its subkeys gives a short list, and recording it would lose them silently.
bool ListsComplete(const Registry& registry, size_t values, size_t subKeys) {
    const std::optional<Registry::KeyInfo> info = registry.QueryKeyInfo();
    return info && info->subKeys == subKeys && info->values == values;
}

// The key as the registry spells its last level: a restore re-creates the deleted key under
// that name, whatever spelling the caller used (".current" for ".Current").
KeyPath StoredSpelling(const KeyPath& key, const Registry& registry) {
    const size_t slash = key.path.rfind(L'\\');
    if (slash == std::wstring::npos || slash + 1 >= key.path.size()) {
        return key;
    }
    const std::optional<std::wstring> stored = registry.StoredKeyName();
    const std::wstring leaf = key.path.substr(slash + 1);
    if (!stored ||
        CompareStringOrdinal(stored->c_str(), static_cast<int>(stored->size()), leaf.c_str(),
                             static_cast<int>(leaf.size()), TRUE) != CSTR_EQUAL) {
        return key;
    }
    return {key.root, key.path.substr(0, slash + 1) + *stored};
}

// Opens the key for recording: never through a registry link, whose target is another key
// that the fix must not record or delete. False (and the tree incomplete) for a link.
bool OpenForRecording(Registry& registry, const KeyPath& key, bool& complete) {
    if (registry.IsLink(key.path)) {
        complete = false;
        return false;
    }
    return registry.OpenKeyNoFollow(key.path);
}

// Records the tree of the key open in `registry`. Subkey names come from the registry's own
// listing, so every level below the top is spelled as stored.
bool RecordOpenTree(XmlElement& entry, const KeyPath& key, Registry& registry) {
    const std::wstring subKey = key.Text();
    if (!XmlCanCarry(subKey)) {
        return false;
    }
    std::vector<std::wstring> valueNames;
    std::vector<std::wstring> subKeyNames;
    registry.GetValueNames(valueNames);
    registry.GetKeyNames(subKeyNames);
    bool complete = ListsComplete(registry, valueNames.size(), subKeyNames.size());
    if (valueNames.empty()) {
        AppendRecord(entry, subKey);
    }
    for (const std::wstring& name : valueNames) {
        const std::optional<RawValue> value = ReadValue(registry, name);
        if (!value || !XmlCanCarry(name)) {
            complete = false;
            continue;
        }
        RecordValue(AppendRecord(entry, subKey), name, value);
    }
    // The key closes before its subkeys open: a deep tree holds one handle at a time.
    registry.CloseKey();
    for (const std::wstring& name : subKeyNames) {
        const KeyPath childKey = key.Child(name);
        Registry child(key.root);
        if (!OpenForRecording(child, childKey, complete)) {
            complete = false;
            continue;
        }
        complete = RecordOpenTree(entry, childKey, child) && complete;
    }
    return complete;
}

}  // namespace

XmlElement AppendHistoryEntry(XmlElement historyRoot, const std::wstring& name,
                              const std::wstring& type, const std::wstring& path) {
    XmlElement entry = historyRoot.AppendChild(kHistoryEntryTag);
    entry.SetAttribute(kEntryNameAttribute, XmlShowable(name));
    entry.SetAttribute(kEntryTypeAttribute, XmlShowable(type));
    entry.SetAttribute(kEntryPathAttribute, XmlShowable(path));
    return entry;
}

bool RecordRegistryEntry(XmlElement entry, HKEY root, const std::wstring& keyPath,
                         const std::wstring& valueName) {
    return valueName.empty() ? RecordKeyTree(entry, root, keyPath)
                             : RecordSingleValue(entry, root, keyPath, valueName);
}

bool RecordSingleValue(XmlElement entry, HKEY root, const std::wstring& keyPath,
                       const std::wstring& valueName) {
    Registry registry(root);
    // Nothing that cannot be seen can be deleted through this key either.
    if (!registry.OpenKeyReadOnly(keyPath) || !registry.ValueExists(valueName)) {
        return true;
    }
    const std::wstring subKey = KeyPath{root, keyPath}.Text();
    const std::optional<RawValue> value = ReadValue(registry, valueName);
    if (!value || !XmlCanCarry(subKey) || !XmlCanCarry(valueName)) {
        return false;
    }
    RecordValue(AppendRecord(entry, subKey), valueName, value);
    return true;
}

bool RecordKeyTree(XmlElement entry, HKEY root, const std::wstring& keyPath) {
    Registry registry(root);
    bool complete = true;
    if (!OpenForRecording(registry, KeyPath{root, keyPath}, complete)) {
        return complete;
    }
    return RecordOpenTree(entry, StoredSpelling(KeyPath{root, keyPath}, registry), registry);
}

void RecordValue(XmlElement record, const std::wstring& valueName,
                 const std::optional<RawValue>& value) {
    record.SetAttribute(kRecordNameAttribute, valueName);
    if (!value) {
        record.SetAttribute(kRecordTypeAttribute, kStringRecordType);
        record.SetAttribute(kRecordValueAttribute, L"");
        return;
    }
    const EncodedValue encoded = EncodeValue(*value);
    record.SetAttribute(kRecordTypeAttribute, encoded.type);
    record.SetAttribute(kRecordValueAttribute, encoded.value);
    if (encoded.registryType) {
        record.SetAttribute(kRecordRegistryTypeAttribute, RegistryTypeText(*encoded.registryType));
    }
}

int KeyPathLevels(const std::wstring& path) {
    int levels = 0;
    size_t start = 0;
    while (start < path.size()) {
        if (path[start] != L'\\') {
            return -1;
        }
        const size_t next = path.find(L'\\', start + 1);
        const size_t end = next == std::wstring::npos ? path.size() : next;
        if (end == start + 1) {
            return -1;
        }
        ++levels;
        start = end;
    }
    return levels;
}

PreparedRecord PrepareValueRecord(const std::wstring& subKey, const std::wstring& name,
                                  const std::wstring& type, const std::wstring& value,
                                  std::optional<DWORD> registryType) {
    const size_t slash = subKey.find(L'\\');
    PreparedRecord record;
    // A root by itself, a path without a root name, or an empty level: never written.
    if (slash == 0 || slash == std::wstring::npos || KeyPathLevels(subKey.substr(slash)) < 1) {
        throw ValueRecordError(L"'" + subKey + L"' does not name a key below a root");
    }
    record.root = RootKeyFromName(subKey.substr(0, slash));
    record.keyPath = subKey.substr(slash);
    record.name = name;
    // Empty name, type and value (a bare key) decode to nothing, as does an unknown type.
    record.data = DecodeValue(type, value, registryType);
    return record;
}

void WriteBack(const PreparedRecord& record) {
    Registry registry(record.root);
    if (!registry.OpenKey(record.keyPath, true)) {
        throw ValueRecordError(L"Cannot create the key '" +
                               KeyPath{record.root, record.keyPath}.Text() + L"'");
    }
    if (record.data) {
        registry.WriteRawExact(record.name, *record.data);
    }
}

void WriteBackValueRecord(const std::wstring& subKey, const std::wstring& name,
                          const std::wstring& type, const std::wstring& value,
                          std::optional<DWORD> registryType) {
    // Decoded first, so text that is not data leaves the registry untouched.
    WriteBack(PrepareValueRecord(subKey, name, type, value, registryType));
}

PreparedRecord PrepareItem(const XmlElement& item) {
    const std::wstring subKey = item.AttributeText(kRecordSubKeyAttribute);
    if (item.AttributeCount() <= 1) {
        return PrepareValueRecord(subKey, L"", L"", L"");
    }
    const std::wstring type = item.AttributeText(kRecordTypeAttribute);
    // A record of a type this program does not know would be dropped from the history
    // without being written: it is an error instead, and its entry stays.
    if (!ImpliedRegistryType(type)) {
        throw ValueRecordError(L"'" + type + L"' is not a record type");
    }
    std::optional<DWORD> registryType;
    if (const auto text = item.Attribute(kRecordRegistryTypeAttribute)) {
        registryType = ParseRegistryTypeText(*text);
    }
    return PrepareValueRecord(subKey, item.AttributeText(kRecordNameAttribute), type,
                              item.AttributeText(kRecordValueAttribute), registryType);
}

void WriteBackItem(const XmlElement& item) {
    WriteBack(PrepareItem(item));
}

}  // namespace kestrova
