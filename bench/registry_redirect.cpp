#include "registry_redirect.h"

#include <stdexcept>

namespace kestrova::bench {

namespace {

const HKEY kRoots[] = {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS,
                       HKEY_CURRENT_CONFIG};
const wchar_t kScratchParent[] = L"Software\\KestrovaBenchmark";

}  // namespace

UniqueHKey CreateVolatileKey(HKEY parent, const std::wstring& path) {
    UniqueHKey key;
    if (RegCreateKeyExW(parent, path.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, key.Put(), nullptr) != ERROR_SUCCESS) {
        throw std::runtime_error("cannot create a benchmark registry key");
    }
    return key;
}

void SetText(HKEY key, const std::wstring& name, const std::wstring& text) {
    if (RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) != ERROR_SUCCESS) {
        throw std::runtime_error("cannot write a benchmark registry value");
    }
}

RegistryRedirect::RegistryRedirect() {
    scratchPath_ = std::wstring(kScratchParent) + L"\\" + std::to_wstring(GetCurrentProcessId());
    // Every scratch key is opened before any root is redirected: opening them through a
    // redirected HKEY_CURRENT_USER would nest them inside the scratch area.
    UniqueHKey scratch[std::size(kRoots)];
    for (size_t i = 0; i < std::size(kRoots); ++i) {
        scratch[i] =
            CreateVolatileKey(HKEY_CURRENT_USER, scratchPath_ + L"\\" + std::to_wstring(i));
    }
    for (size_t i = 0; i < std::size(kRoots); ++i) {
        if (RegOverridePredefKey(kRoots[i], scratch[i].Get()) != ERROR_SUCCESS) {
            throw std::runtime_error("cannot redirect a registry root");
        }
    }
}

RegistryRedirect::~RegistryRedirect() {
    for (HKEY root : kRoots) {
        RegOverridePredefKey(root, nullptr);
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, scratchPath_.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, kScratchParent);  // only goes when no other run uses it
}

}  // namespace kestrova::bench
