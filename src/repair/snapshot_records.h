#pragma once
// The restore history (Backup.xml): what is recorded before the program deletes a registry
// key or value, and how one record is written back.
//
// Root element "Kestrova"; one "ELEMENT" per history entry with the labels NAME, TYPE, PATH;
// below it flat "ITEM" value records with SUBKEY (root name + key path), NAME (the value
// name), TYPE and VALUE (value_encoding.h), and REGTYPE after them when the registry type is
// not the one TYPE implies. An ITEM with SUBKEY alone stands for a key: recorded for every
// key of a tree that holds no value, so empty keys come back too.

#include <windows.h>

#include <optional>
#include <string>

#include "platform/registry.h"
#include "platform/xml_document.h"

namespace kestrova {

inline constexpr wchar_t kHistoryRootTag[] = L"Kestrova";
inline constexpr wchar_t kHistoryEntryTag[] = L"ELEMENT";
inline constexpr wchar_t kValueRecordTag[] = L"ITEM";
// Attributes of a history entry, in the order written.
inline constexpr wchar_t kEntryNameAttribute[] = L"NAME";
inline constexpr wchar_t kEntryTypeAttribute[] = L"TYPE";
inline constexpr wchar_t kEntryPathAttribute[] = L"PATH";
// Attributes of a value record, in the order written.
inline constexpr wchar_t kRecordSubKeyAttribute[] = L"SUBKEY";
inline constexpr wchar_t kRecordNameAttribute[] = L"NAME";
inline constexpr wchar_t kRecordTypeAttribute[] = L"TYPE";
inline constexpr wchar_t kRecordValueAttribute[] = L"VALUE";
inline constexpr wchar_t kRecordRegistryTypeAttribute[] = L"REGTYPE";

// Appends an ELEMENT with its three labels to the history root. The labels are only shown:
// characters XML cannot carry become U+FFFD so the file always loads again.
XmlElement AppendHistoryEntry(XmlElement historyRoot, const std::wstring& name,
                              const std::wstring& type, const std::wstring& path);

// Records under `entry` what deleting the value (non-empty valueName) or the whole key tree
// (empty valueName) at root + keyPath would remove. keyPath starts with "\". A value or key
// that does not exist yields no record.
//
// Returns false when something there could not be recorded exactly (a name that XML cannot
// carry, a value or subkey that cannot be read): deleting it would lose data.
bool RecordRegistryEntry(XmlElement entry, HKEY root, const std::wstring& keyPath,
                         const std::wstring& valueName);

// Records the one value (the default value for an empty name) at root + keyPath, if it
// exists. Returns false as RecordRegistryEntry does.
bool RecordSingleValue(XmlElement entry, HKEY root, const std::wstring& keyPath,
                       const std::wstring& valueName);

// Records the key's values in registry order (a bare-key ITEM when it has none), then each
// subkey's tree in turn, depth first. Returns false as RecordRegistryEntry does.
bool RecordKeyTree(XmlElement entry, HKEY root, const std::wstring& keyPath);

// Fills a value record after its SUBKEY: NAME, TYPE, VALUE and, when needed, REGTYPE. A
// missing value is recorded as an empty "rdString".
void RecordValue(XmlElement record, const std::wstring& valueName,
                 const std::optional<RawValue>& value);

// The non-empty levels of a key path from its root ("\\A\\B" has 2), or -1 when the path does
// not start with "\\" or holds an empty level ("\\A\\\\B").
int KeyPathLevels(const std::wstring& path);

// A value record read and checked, ready to be written back.
struct PreparedRecord {
    HKEY root = nullptr;
    std::wstring keyPath;          // from the root, starting with "\\"
    std::wstring name;             // the value's name
    std::optional<RawValue> data;  // none for a bare key (or an unknown TYPE, see below)
};

// Reads a record's texts: SUBKEY's text up to its first "\\" names the root
// (RootKeyFromName), the rest the key. Throws ValueRecordError when SUBKEY names no key below
// a root (a root alone, no root name, an empty level) or the VALUE text is not data.
PreparedRecord PrepareValueRecord(const std::wstring& subKey, const std::wstring& name,
                                  const std::wstring& type, const std::wstring& value,
                                  std::optional<DWORD> registryType = std::nullopt);
// An ITEM read and checked: with more than one attribute through PrepareValueRecord
// (REGTYPE included when present), with one only as the bare key its SUBKEY names. Throws as
// PrepareValueRecord does, ValueRecordError for a TYPE that is not one of the three, and
// XmlError when an attribute is missing. Nothing is written.
PreparedRecord PrepareItem(const XmlElement& item);

// Puts one value record back: creates every missing key of its path, and writes the value
// unless it has no data, replacing one of that name. Throws RegistryError when the registry
// refuses the value and ValueRecordError when the key cannot be made.
void WriteBack(const PreparedRecord& record);

// PrepareValueRecord, then WriteBack: an unknown TYPE makes the key only.
void WriteBackValueRecord(const std::wstring& subKey, const std::wstring& name,
                          const std::wstring& type, const std::wstring& value,
                          std::optional<DWORD> registryType = std::nullopt);

// PrepareItem, then WriteBack.
void WriteBackItem(const XmlElement& item);

}  // namespace kestrova
