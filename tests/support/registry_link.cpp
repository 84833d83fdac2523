#include "support/registry_link.h"

#include <cstring>
#include <stdexcept>
#include <vector>

#include "platform/unique_handles.h"

namespace kestrova::test {

namespace {

constexpr int kKeyNameInformation = 3;
using NtQueryKeyFunction = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
using NtDeleteKeyFunction = LONG(WINAPI*)(HANDLE);

template <typename Function>
Function NtEntry(const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), name)));
}

// The key's full registry path ("\REGISTRY\USER\...\Target"), through any redirected root.
std::wstring FullName(HKEY root, const std::wstring& path) {
    UniqueHKey key;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE, key.Put()) != ERROR_SUCCESS) {
        throw std::runtime_error("the link target does not exist");
    }
    std::vector<ULONGLONG> buffer(4096);
    ULONG needed = 0;
    const auto query = NtEntry<NtQueryKeyFunction>("NtQueryKey");
    if (query == nullptr ||
        query(key.Get(), kKeyNameInformation, buffer.data(),
              static_cast<ULONG>(buffer.size() * sizeof(ULONGLONG)), &needed) != 0) {
        throw std::runtime_error("cannot read the link target's full name");
    }
    const auto* bytes = reinterpret_cast<const BYTE*>(buffer.data());
    ULONG length = 0;
    std::memcpy(&length, bytes, sizeof(length));
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes + sizeof(ULONG)),
                        length / sizeof(wchar_t));
}

}  // namespace

void MakeRegistryLink(HKEY root, const std::wstring& linkPath, HKEY targetRoot,
                      const std::wstring& targetPath) {
    const std::wstring target = FullName(targetRoot, targetPath);
    UniqueHKey link;
    if (RegCreateKeyExW(
            root, linkPath.c_str(), 0, nullptr, REG_OPTION_CREATE_LINK | REG_OPTION_VOLATILE,
            KEY_ALL_ACCESS | KEY_CREATE_LINK, nullptr, link.Put(), nullptr) != ERROR_SUCCESS ||
        RegSetValueExW(link.Get(), L"SymbolicLinkValue", 0, REG_LINK,
                       reinterpret_cast<const BYTE*>(target.data()),
                       static_cast<DWORD>(target.size() * sizeof(wchar_t))) != ERROR_SUCCESS) {
        throw std::runtime_error("cannot make a registry link");
    }
}

bool RemoveRegistryLink(HKEY root, const std::wstring& linkPath) {
    UniqueHKey link;
    const auto remove = NtEntry<NtDeleteKeyFunction>("NtDeleteKey");
    return remove != nullptr &&
           RegOpenKeyExW(root, linkPath.c_str(), REG_OPTION_OPEN_LINK, DELETE | KEY_QUERY_VALUE,
                         link.Put()) == ERROR_SUCCESS &&
           remove(link.Get()) == 0;
}

}  // namespace kestrova::test
