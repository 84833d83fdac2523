#include "platform/registry.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "platform/key_path.h"

namespace kestrova {

namespace {

constexpr REGSAM kReadFallbacks[] = {KEY_READ, KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS,
                                     KEY_QUERY_VALUE};
constexpr wchar_t kLinkValueName[] = L"SymbolicLinkValue";

// True when the key, opened with REG_OPTION_OPEN_LINK, is a link itself.
bool KeyIsLink(HKEY key) {
    DWORD type = REG_NONE;
    return RegQueryValueExW(key, kLinkValueName, nullptr, &type, nullptr, nullptr) ==
               ERROR_SUCCESS &&
           type == REG_LINK;
}

// Opens base\relative without following a link at its last level.
LSTATUS OpenNoFollow(HKEY base, const std::wstring& relative, REGSAM access, UniqueHKey& key) {
    return RegOpenKeyExW(base, relative.c_str(), REG_OPTION_OPEN_LINK, access, key.Put());
}

bool QueryValue(HKEY key, const std::wstring& name, DWORD* type, DWORD* size) {
    return key != nullptr &&
           RegQueryValueExW(key, name.c_str(), nullptr, type, nullptr, size) == ERROR_SUCCESS;
}

// Reads the whole value; the registry may grow it between the size query and the read.
LSTATUS ReadBytes(HKEY key, const std::wstring& name, DWORD& type, std::vector<BYTE>& bytes) {
    DWORD size = 0;
    LSTATUS status = RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size);
    for (int attempt = 0; status == ERROR_SUCCESS && attempt < 8; ++attempt) {
        bytes.assign(size, 0);
        status = RegQueryValueExW(key, name.c_str(), nullptr, &type, bytes.data(), &size);
        if (status == ERROR_SUCCESS) {
            bytes.resize(size);
            return status;
        }
        if (status == ERROR_MORE_DATA) {
            status = ERROR_SUCCESS;
        }
    }
    return status == ERROR_SUCCESS ? ERROR_MORE_DATA : status;
}

// Appends the names enumerate gives for index 0, 1, ... until it fails. The buffer starts at
// the longest name the key reported and grows when a name added since does not fit.
template <typename Enumerate>
void CollectNames(DWORD maxLength, std::vector<std::wstring>& list, Enumerate enumerate) {
    std::vector<wchar_t> buffer(maxLength + 1);
    for (DWORD i = 0;; ++i) {
        DWORD length = static_cast<DWORD>(buffer.size());
        const LSTATUS status = enumerate(i, buffer.data(), &length);
        if (status == ERROR_MORE_DATA) {
            buffer.resize(buffer.size() * 2 + 256);
            --i;
            continue;
        }
        if (status != ERROR_SUCCESS) {
            break;
        }
        list.emplace_back(buffer.data(), length);
    }
}

}  // namespace

Registry::Registry(HKEY root) : root_(root) {}

void Registry::SetRootKey(HKEY root) {
    CloseKey();
    root_ = root;
}

HKEY Registry::BaseFor(const std::wstring& path, std::wstring& relative) const {
    if (!path.empty() && path[0] == L'\\') {
        relative = path.substr(1);
        return root_;
    }
    relative = path;
    return current_ ? current_.Get() : root_;
}

bool Registry::OpenKey(const std::wstring& path, bool create) {
    std::wstring relative;
    const HKEY base = BaseFor(path, relative);
    UniqueHKey key;
    LSTATUS status;
    if (create) {
        status = RegCreateKeyExW(base, relative.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                 KEY_ALL_ACCESS, nullptr, key.Put(), nullptr);
    } else {
        status = RegOpenKeyExW(base, relative.c_str(), 0, KEY_ALL_ACCESS, key.Put());
    }
    if (status != ERROR_SUCCESS) {
        return false;
    }
    current_ = std::move(key);
    return true;
}

bool Registry::OpenWithFallbacks(const std::wstring& path, UniqueHKey& key, DWORD options) const {
    std::wstring relative;
    const HKEY base = BaseFor(path, relative);
    for (REGSAM access : kReadFallbacks) {
        if (RegOpenKeyExW(base, relative.c_str(), options, access, key.Put()) == ERROR_SUCCESS) {
            return true;
        }
    }
    return false;
}

bool Registry::OpenKeyReadOnly(const std::wstring& path) {
    UniqueHKey key;
    if (!OpenWithFallbacks(path, key)) {
        return false;
    }
    current_ = std::move(key);
    return true;
}

void Registry::CloseKey() {
    current_.Reset();
}

bool Registry::KeyExists(const std::wstring& path) const {
    UniqueHKey key;
    return OpenWithFallbacks(path, key);
}

bool Registry::ValueExists(const std::wstring& name) const {
    return QueryValue(current_.Get(), name, nullptr, nullptr);
}

void Registry::GetKeyNames(std::vector<std::wstring>& list) const {
    list.clear();
    DWORD maxLength = 0;
    if (!current_ ||
        RegQueryInfoKeyW(current_.Get(), nullptr, nullptr, nullptr, nullptr, &maxLength, nullptr,
                         nullptr, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
        return;
    }
    CollectNames(maxLength, list, [this](DWORD index, wchar_t* name, DWORD* length) {
        return RegEnumKeyExW(current_.Get(), index, name, length, nullptr, nullptr, nullptr,
                             nullptr);
    });
}

void Registry::GetValueNames(std::vector<std::wstring>& list) const {
    list.clear();
    DWORD maxLength = 0;
    if (!current_ ||
        RegQueryInfoKeyW(current_.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         nullptr, &maxLength, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
        return;
    }
    CollectNames(maxLength, list, [this](DWORD index, wchar_t* name, DWORD* length) {
        return RegEnumValueW(current_.Get(), index, name, length, nullptr, nullptr, nullptr,
                             nullptr);
    });
}

bool Registry::HasSubKeys() const {
    DWORD count = 0;
    return current_ &&
           RegQueryInfoKeyW(current_.Get(), nullptr, nullptr, nullptr, &count, nullptr, nullptr,
                            nullptr, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
           count > 0;
}

RegDataType Registry::GetDataType(const std::wstring& name) const {
    DWORD type = REG_NONE;
    if (!QueryValue(current_.Get(), name, &type, nullptr)) {
        return RegDataType::Unknown;
    }
    switch (type) {
        case REG_SZ:
            return RegDataType::String;
        case REG_EXPAND_SZ:
            return RegDataType::ExpandString;
        case REG_DWORD:
            return RegDataType::Integer;
        case REG_BINARY:
            return RegDataType::Binary;
        default:
            return RegDataType::Unknown;
    }
}

int64_t Registry::GetDataSize(const std::wstring& name) const {
    DWORD size = 0;
    if (!QueryValue(current_.Get(), name, nullptr, &size)) {
        return -1;
    }
    return size;
}

std::wstring Registry::ReadString(const std::wstring& name) const {
    DWORD type = REG_NONE;
    if (!QueryValue(current_.Get(), name, &type, nullptr)) {
        return {};
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ) {
        throw RegistryError(RegistryError::Kind::InvalidDataType, name);
    }
    std::vector<BYTE> bytes;
    if (ReadBytes(current_.Get(), name, type, bytes) != ERROR_SUCCESS) {
        throw RegistryError(RegistryError::Kind::GetDataFailed, name);
    }
    // Stored text may lack its NUL or have an odd byte count: copy whole characters only.
    std::wstring text(bytes.size() / sizeof(wchar_t), L'\0');
    if (!text.empty()) {
        std::memcpy(text.data(), bytes.data(), text.size() * sizeof(wchar_t));
    }
    const size_t nul = text.find(L'\0');
    if (nul != std::wstring::npos) {
        text.resize(nul);
    }
    return text;
}

int32_t Registry::ReadInteger(const std::wstring& name) const {
    DWORD type = REG_NONE;
    if (!QueryValue(current_.Get(), name, &type, nullptr)) {
        throw RegistryError(RegistryError::Kind::GetDataFailed, name);
    }
    if (type != REG_DWORD) {
        throw RegistryError(RegistryError::Kind::InvalidDataType, name);
    }
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegQueryValueExW(current_.Get(), name.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS) {
        throw RegistryError(RegistryError::Kind::GetDataFailed, name);
    }
    return static_cast<int32_t>(value);
}

size_t Registry::ReadBinaryData(const std::wstring& name, void* buffer, size_t size) const {
    DWORD type = REG_NONE;
    DWORD stored = 0;
    if (!QueryValue(current_.Get(), name, &type, &stored)) {
        return 0;
    }
    const bool binaryOrUnknown = type != REG_SZ && type != REG_EXPAND_SZ && type != REG_DWORD;
    if (!binaryOrUnknown || stored > size) {
        throw RegistryError(RegistryError::Kind::InvalidDataType, name);
    }
    DWORD length = static_cast<DWORD>(size);
    if (RegQueryValueExW(current_.Get(), name.c_str(), nullptr, &type, static_cast<BYTE*>(buffer),
                         &length) != ERROR_SUCCESS) {
        throw RegistryError(RegistryError::Kind::GetDataFailed, name);
    }
    return length;
}

bool Registry::ReadRaw(const std::wstring& name, RawValue& raw) const {
    if (!current_) {
        return false;
    }
    RawValue read;
    if (ReadBytes(current_.Get(), name, read.type, read.data) != ERROR_SUCCESS) {
        return false;
    }
    raw = std::move(read);
    return true;
}

void Registry::WriteTyped(const std::wstring& name, DWORD type, const void* data, size_t size) {
    if (!current_ || size > MAXDWORD ||
        RegSetValueExW(current_.Get(), name.c_str(), 0, type, static_cast<const BYTE*>(data),
                       static_cast<DWORD>(size)) != ERROR_SUCCESS) {
        throw RegistryError(RegistryError::Kind::SetDataFailed, name);
    }
}

void Registry::WriteString(const std::wstring& name, const std::wstring& value) {
    WriteTyped(name, REG_SZ, value.c_str(), (value.size() + 1) * sizeof(wchar_t));
}

void Registry::WriteExpandString(const std::wstring& name, const std::wstring& value) {
    WriteTyped(name, REG_EXPAND_SZ, value.c_str(), (value.size() + 1) * sizeof(wchar_t));
}

void Registry::WriteInteger(const std::wstring& name, int32_t value) {
    const DWORD data = static_cast<DWORD>(value);
    WriteTyped(name, REG_DWORD, &data, sizeof(data));
}

void Registry::WriteBinaryData(const std::wstring& name, const void* data, size_t size) {
    WriteTyped(name, REG_BINARY, data, size);
}

void Registry::WriteRaw(const std::wstring& name, const RawValue& raw) {
    WriteTyped(name, raw.type, raw.data.data(), raw.data.size());
}

bool Registry::DeleteValue(const std::wstring& name) {
    return current_ && RegDeleteValueW(current_.Get(), name.c_str()) == ERROR_SUCCESS;
}

namespace {

// Deletes the subkeys of key, deepest first. Keeps going past failures so that as much as
// possible goes; the final delete of the key itself tells whether everything went.
void DeleteSubKeys(HKEY key) {
    std::vector<std::wstring> names;
    DWORD maxLength = 0;
    if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, &maxLength, nullptr, nullptr,
                         nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
        return;
    }
    std::vector<wchar_t> buffer(maxLength + 1);
    for (DWORD i = 0;; ++i) {
        DWORD length = static_cast<DWORD>(buffer.size());
        if (RegEnumKeyExW(key, i, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        names.emplace_back(buffer.data(), length);
    }
    for (const std::wstring& name : names) {
        UniqueHKey child;
        if (OpenNoFollow(key, name, KEY_READ | DELETE, child) == ERROR_SUCCESS) {
            // A link stays: deleting through it would delete the key it names.
            if (KeyIsLink(child.Get())) {
                continue;
            }
            DeleteSubKeys(child.Get());
            child.Reset();
        }
        RegDeleteKeyW(key, name.c_str());
    }
}

}  // namespace

bool Registry::DeleteKey(const std::wstring& path) {
    std::wstring relative;
    const HKEY base = BaseFor(path, relative);
    // Never let an empty path name the base key itself: that would delete the open key.
    while (!relative.empty() && relative.back() == L'\\') {
        relative.pop_back();
    }
    if (relative.empty()) {
        return false;
    }
    UniqueHKey key;
    if (OpenNoFollow(base, relative, KEY_READ | DELETE, key) != ERROR_SUCCESS ||
        KeyIsLink(key.Get())) {
        return false;
    }
    DeleteSubKeys(key.Get());
    key.Reset();
    return RegDeleteKeyW(base, relative.c_str()) == ERROR_SUCCESS;
}

// --- Key information, exact writes, stored names and registry links -------------------------

namespace {

// NtQueryKey's KeyBasicInformation: the key's own name as stored.
constexpr int kKeyBasicInformation = 0;
// NtQueryKey's KeyNameInformation: the key's full name in the system's namespace.
constexpr int kKeyNameInformation = 3;
struct KeyBasicInformation {
    LARGE_INTEGER lastWriteTime;
    ULONG titleIndex;
    ULONG nameLength;  // in bytes
    WCHAR name[1];
};
using NtQueryKeyFunction = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);

NtQueryKeyFunction NtQueryKeyEntry() {
    static const NtQueryKeyFunction function = [] {
        const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
        return ntdll == nullptr ? nullptr
                                : reinterpret_cast<NtQueryKeyFunction>(
                                      reinterpret_cast<void*>(GetProcAddress(ntdll, "NtQueryKey")));
    }();
    return function;
}

}  // namespace

std::optional<Registry::KeyInfo> Registry::QueryKeyInfo() const {
    KeyInfo info;
    if (!current_ ||
        RegQueryInfoKeyW(current_.Get(), nullptr, nullptr, nullptr, &info.subKeys,
                         &info.maxSubKeyLength, nullptr, &info.values, &info.maxValueNameLength,
                         &info.maxValueLength, nullptr, nullptr) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return info;
}

void Registry::WriteRawExact(const std::wstring& name, const RawValue& raw) {
    // For text types the registry counts one more character when the data does not end in
    // NUL and a NUL follows it in memory: the bytes go with a non-NUL character after them.
    std::vector<BYTE> padded(raw.data);
    padded.insert(padded.end(), {0xFF, 0xFF});
    if (!current_ || raw.data.size() > MAXDWORD ||
        RegSetValueExW(current_.Get(), name.c_str(), 0, raw.type, padded.data(),
                       static_cast<DWORD>(raw.data.size())) != ERROR_SUCCESS) {
        throw RegistryError(RegistryError::Kind::SetDataFailed, name);
    }
}

std::optional<std::wstring> Registry::StoredKeyName() const {
    const NtQueryKeyFunction query = NtQueryKeyEntry();
    if (!current_ || query == nullptr) {
        return std::nullopt;
    }
    // A key name has at most 255 characters; the buffer grows if the registry asks for more.
    std::vector<ULONGLONG> buffer(96);
    for (int attempt = 0; attempt < 3; ++attempt) {
        ULONG needed = 0;
        const ULONG size = static_cast<ULONG>(buffer.size() * sizeof(ULONGLONG));
        const LONG status =
            query(current_.Get(), kKeyBasicInformation, buffer.data(), size, &needed);
        if (status == 0) {
            const auto* info = reinterpret_cast<const KeyBasicInformation*>(buffer.data());
            return std::wstring(info->name, info->nameLength / sizeof(WCHAR));
        }
        if (needed <= size) {
            return std::nullopt;
        }
        buffer.resize(needed / sizeof(ULONGLONG) + 1);
    }
    return std::nullopt;
}

bool Registry::OpenKeyNoFollow(const std::wstring& path) {
    UniqueHKey key;
    if (!OpenWithFallbacks(path, key, REG_OPTION_OPEN_LINK)) {
        return false;
    }
    current_ = std::move(key);
    return true;
}

bool Registry::IsLink(const std::wstring& path) const {
    std::wstring relative;
    const HKEY base = BaseFor(path, relative);
    UniqueHKey key;
    return OpenNoFollow(base, relative, KEY_QUERY_VALUE, key) == ERROR_SUCCESS &&
           KeyIsLink(key.Get());
}

bool RedirectRootKeys(const std::wstring& scratchPath) {
    const HKEY roots[] = {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS,
                          HKEY_CURRENT_CONFIG};
    // Every stand-in is opened before any root is redirected: opened through a redirected
    // HKEY_CURRENT_USER, the later ones would be looked for inside the first.
    UniqueHKey standIns[std::size(roots)];
    for (size_t i = 0; i < std::size(roots); ++i) {
        const std::wstring path = scratchPath + L"\\" + RootKeyName(roots[i]);
        if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_ALL_ACCESS, standIns[i].Put()) !=
            ERROR_SUCCESS) {
            return false;
        }
    }
    for (size_t i = 0; i < std::size(roots); ++i) {
        if (RegOverridePredefKey(roots[i], standIns[i].Get()) != ERROR_SUCCESS) {
            for (size_t j = 0; j < i; ++j) {
                RegOverridePredefKey(roots[j], nullptr);
            }
            return false;
        }
    }
    return true;
}

namespace {

// Room for most paths and command lines, so one registry call usually reads the value.
constexpr size_t kFirstTextTry = 260;
constexpr int kTextAttempts = 8;  // the value may grow between the calls

}  // namespace

std::optional<std::wstring> Registry::ReadText(const std::wstring& name) const {
    const HKEY key = CurrentKey();
    if (key == nullptr) {
        return std::wstring();
    }
    std::wstring text(kFirstTextTry, L'\0');
    for (int attempt = 0; attempt < kTextAttempts; ++attempt) {
        DWORD type = REG_NONE;
        DWORD size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        const LSTATUS status = RegQueryValueExW(key, name.c_str(), nullptr, &type,
                                                reinterpret_cast<BYTE*>(text.data()), &size);
        if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA) {
            return std::wstring();  // a missing value is empty text
        }
        if (type != REG_SZ && type != REG_EXPAND_SZ) {
            return std::nullopt;
        }
        if (status == ERROR_SUCCESS) {
            // Stored text may lack its NUL or have an odd byte count: whole characters only.
            text.resize(size / sizeof(wchar_t));
            const size_t nul = text.find(L'\0');
            if (nul != std::wstring::npos) {
                text.resize(nul);
            }
            return text;
        }
        text.assign(size / sizeof(wchar_t) + 1, L'\0');
    }
    throw RegistryError(RegistryError::Kind::GetDataFailed, name);
}

std::wstring Registry::OpenKeyObjectName() const {
    const NtQueryKeyFunction query = NtQueryKeyEntry();
    if (!current_ || query == nullptr) {
        return {};
    }
    // KeyNameInformation: ULONG NameLength (bytes), then the name's characters.
    std::vector<BYTE> answer(sizeof(ULONG) + 512 * sizeof(wchar_t));
    ULONG needed = 0;
    LONG status = query(current_.Get(), kKeyNameInformation, answer.data(),
                        static_cast<ULONG>(answer.size()), &needed);
    if (status < 0 && needed > answer.size()) {
        answer.resize(needed);
        status = query(current_.Get(), kKeyNameInformation, answer.data(),
                       static_cast<ULONG>(answer.size()), &needed);
    }
    if (status < 0) {
        return {};
    }
    ULONG length = 0;
    std::memcpy(&length, answer.data(), sizeof(length));
    length = std::min<ULONG>(length, static_cast<ULONG>(answer.size() - sizeof(ULONG)));
    std::wstring name(length / sizeof(wchar_t), L'\0');
    std::memcpy(name.data(), answer.data() + sizeof(ULONG), name.size() * sizeof(wchar_t));
    return name;
}

}  // namespace kestrova
