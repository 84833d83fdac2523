#include "scan/registry_text.h"

#include <windows.h>

namespace kestrova {

namespace {

// Room for most paths and command lines, so one registry call usually reads the value.
constexpr size_t kFirstTry = 260;
constexpr int kAttempts = 8;  // the value may grow between the calls

}  // namespace

// The same answers as Registry::ReadString, in one call where the data fits instead of three
// (type, size, data): the scan reads tens of thousands of values.
std::optional<std::wstring> ReadTextData(const Registry& registry, const std::wstring& name) {
    const HKEY key = registry.CurrentKey();
    if (key == nullptr) {
        return std::wstring();
    }
    std::wstring text(kFirstTry, L'\0');
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
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

}  // namespace kestrova
