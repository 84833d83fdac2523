#include "platform/registry.h"

#include <algorithm>
#include <cstring>

namespace kestrova {

namespace {

constexpr REGSAM kReadFallbacks[] = {KEY_READ, KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS,
                                     KEY_QUERY_VALUE};

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

bool Registry::OpenWithFallbacks(const std::wstring& path, UniqueHKey& key) const {
    std::wstring relative;
    const HKEY base = BaseFor(path, relative);
    for (REGSAM access : kReadFallbacks) {
        if (RegOpenKeyExW(base, relative.c_str(), 0, access, key.Put()) == ERROR_SUCCESS) {
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
        if (RegOpenKeyExW(key, name.c_str(), 0, KEY_READ | DELETE, child.Put()) == ERROR_SUCCESS) {
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
    if (RegOpenKeyExW(base, relative.c_str(), 0, KEY_READ | DELETE, key.Put()) != ERROR_SUCCESS) {
        return false;
    }
    DeleteSubKeys(key.Get());
    key.Reset();
    return RegDeleteKeyW(base, relative.c_str()) == ERROR_SUCCESS;
}

namespace {

// ntdll's key query, class KeyNameInformation, and the answer's layout.
using NtQueryKeyFunction = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
constexpr int kKeyNameInformation = 3;

}  // namespace

std::wstring Registry::OpenKeyObjectName() const {
    if (!current_) {
        return {};
    }
    static const auto query = reinterpret_cast<NtQueryKeyFunction>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryKey"));
    if (query == nullptr) {
        return {};
    }
    // ULONG NameLength (bytes), then the name's characters.
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
