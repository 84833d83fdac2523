#include "repair_test_support.h"

#include <cstring>
#include <sstream>
#include <stdexcept>

#include "platform/text.h"
#include "scan/key_names.h"

namespace kestrova::test {

RawValue RawOf(DWORD type, std::vector<BYTE> bytes) {
    RawValue raw;
    raw.type = type;
    raw.data = std::move(bytes);
    return raw;
}

std::vector<BYTE> Utf16Bytes(const std::wstring& text, bool withNul) {
    std::vector<BYTE> bytes((text.size() + (withNul ? 1 : 0)) * sizeof(wchar_t), 0);
    std::memcpy(bytes.data(), text.data(), text.size() * sizeof(wchar_t));
    return bytes;
}

void PutValue(HKEY root, const std::wstring& keyPath, const std::wstring& name,
              const RawValue& value) {
    Registry registry(root);
    if (!registry.OpenKey(keyPath, true)) {
        throw std::runtime_error("cannot create a test key");
    }
    // A non-NUL character after the bytes: text data without its NUL must stay without.
    std::vector<BYTE> padded(value.data);
    padded.insert(padded.end(), {0xFF, 0xFF});
    if (RegSetValueExW(registry.CurrentKey(), name.c_str(), 0, value.type, padded.data(),
                       static_cast<DWORD>(value.data.size())) != ERROR_SUCCESS) {
        throw std::runtime_error("cannot write a test value");
    }
}

void PutKey(HKEY root, const std::wstring& keyPath) {
    Registry registry(root);
    if (!registry.OpenKey(keyPath, true)) {
        throw std::runtime_error("cannot create a test key");
    }
}

std::optional<RawValue> GetValue(HKEY root, const std::wstring& keyPath, const std::wstring& name) {
    Registry registry(root);
    RawValue raw;
    if (!registry.OpenKeyReadOnly(keyPath) || !registry.ReadRaw(name, raw)) {
        return std::nullopt;
    }
    return raw;
}

bool KeyPresent(HKEY root, const std::wstring& keyPath) {
    return Registry(root).KeyExists(keyPath);
}

namespace {

void DumpKey(HKEY root, const std::wstring& keyPath, const std::wstring& text, RegistryDump& dump) {
    Registry registry(root);
    if (!registry.OpenKeyReadOnly(keyPath)) {
        throw std::runtime_error("cannot open " + ToUtf8(text));
    }
    auto& values = dump[text];
    std::vector<std::wstring> names;
    registry.GetValueNames(names);
    for (const std::wstring& name : names) {
        RawValue raw;
        if (!registry.ReadRaw(name, raw)) {
            throw std::runtime_error("cannot read a value of " + ToUtf8(text));
        }
        values[name] = DumpedValue{raw.type, std::move(raw.data)};
    }
    std::vector<std::wstring> subKeys;
    registry.GetKeyNames(subKeys);
    registry.CloseKey();
    for (const std::wstring& name : subKeys) {
        DumpKey(root, keyPath + L"\\" + name, text + L"\\" + name, dump);
    }
}

std::string Show(const std::map<std::wstring, DumpedValue>::value_type& value) {
    std::ostringstream out;
    out << "\"" << ToUtf8(value.first) << "\" type " << value.second.type << ", "
        << value.second.data.size() << " bytes";
    return out.str();
}

}  // namespace

std::wstring DumpedKeyName(const RegistryDump& dump, const std::wstring& key) {
    for (const auto& entry : dump) {
        if (CompareStringOrdinal(entry.first.c_str(), -1, key.c_str(), -1, TRUE) == CSTR_EQUAL) {
            return entry.first;
        }
    }
    return key;
}

RegistryDump DumpRegistry() {
    RegistryDump dump;
    for (HKEY root : {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS,
                      HKEY_CURRENT_CONFIG}) {
        DumpKey(root, L"", RootKeyName(root), dump);
    }
    return dump;
}

std::string DescribeDifferences(const RegistryDump& expected, const RegistryDump& actual,
                                size_t limit) {
    std::ostringstream out;
    size_t found = 0;
    auto note = [&](const std::string& line) {
        if (found++ < limit) {
            out << line << "\n";
        }
    };
    for (const auto& [key, values] : expected) {
        const auto other = actual.find(key);
        if (other == actual.end()) {
            note("missing key " + ToUtf8(key));
            continue;
        }
        for (const auto& value : values) {
            const auto match = other->second.find(value.first);
            if (match == other->second.end()) {
                note("missing value " + Show(value) + " in " + ToUtf8(key));
            } else if (!(match->second == value.second)) {
                note("changed value " + Show(value) + " -> " + Show(*match) + " in " + ToUtf8(key));
            }
        }
        for (const auto& value : other->second) {
            if (!values.count(value.first)) {
                note("extra value " + Show(value) + " in " + ToUtf8(key));
            }
        }
    }
    for (const auto& entry : actual) {
        if (!expected.count(entry.first)) {
            note("extra key " + ToUtf8(entry.first));
        }
    }
    if (found > limit) {
        out << "... " << found - limit << " more\n";
    }
    return out.str();
}

}  // namespace kestrova::test
