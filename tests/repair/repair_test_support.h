#pragma once
// Registry fixtures for the repair tests: values with exact types and bytes, and a dump of the
// whole sandboxed registry (every key, value name, type and data) to compare before and after.

#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace kestrova::test {

// A value of any type with these bytes.
RawValue RawOf(DWORD type, std::vector<BYTE> bytes);
// The UTF-16 bytes of text, with its NUL unless withNul is false.
std::vector<BYTE> Utf16Bytes(const std::wstring& text, bool withNul = true);

// Writes the value, creating the key; throws when the registry refuses.
void PutValue(HKEY root, const std::wstring& keyPath, const std::wstring& name,
              const RawValue& value);
void PutKey(HKEY root, const std::wstring& keyPath);
std::optional<RawValue> GetValue(HKEY root, const std::wstring& keyPath, const std::wstring& name);
bool KeyPresent(HKEY root, const std::wstring& keyPath);

struct DumpedValue {
    DWORD type;
    std::vector<BYTE> data;
    friend bool operator==(const DumpedValue&, const DumpedValue&) = default;
};
// Full key text ("HKEY_CURRENT_USER\Software\A") -> value name -> type and data. Every key is
// listed, with or without values.
using RegistryDump = std::map<std::wstring, std::map<std::wstring, DumpedValue>>;

// The dump's own spelling of a key, found without regard to case (keys made by Wine itself
// may spell a level differently from the test); the text itself when absent.
std::wstring DumpedKeyName(const RegistryDump& dump, const std::wstring& key);

// Every key and value below the five roots.
RegistryDump DumpRegistry();
// The first few differences, readable, or empty when the dumps are equal.
std::string DescribeDifferences(const RegistryDump& expected, const RegistryDump& actual,
                                size_t limit = 10);

}  // namespace kestrova::test
