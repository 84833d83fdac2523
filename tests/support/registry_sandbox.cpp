#include "support/registry_sandbox.h"

#include <atomic>
#include <stdexcept>

namespace kestrova::test {

namespace {

struct Root {
    HKEY key;
    const wchar_t* name;
};

const Root kRoots[] = {
    {HKEY_CLASSES_ROOT, L"HKEY_CLASSES_ROOT"},     {HKEY_CURRENT_USER, L"HKEY_CURRENT_USER"},
    {HKEY_LOCAL_MACHINE, L"HKEY_LOCAL_MACHINE"},   {HKEY_USERS, L"HKEY_USERS"},
    {HKEY_CURRENT_CONFIG, L"HKEY_CURRENT_CONFIG"},
};

std::atomic<int> sandboxCounter{0};

}  // namespace

RegistrySandbox::RegistrySandbox() {
    scratchPath_ = L"Software\\KestrovaTestSandbox\\" + std::to_wstring(GetCurrentProcessId()) +
                   L"-" + std::to_wstring(++sandboxCounter);
    // A process that ended without its destructor (killed, crashed) leaves its sandbox behind,
    // and process numbers come again: start from an empty key all the same.
    RegDeleteTreeW(HKEY_CURRENT_USER, scratchPath_.c_str());
    // Every scratch key is opened before any root is overridden: opening them through an
    // overridden HKEY_CURRENT_USER would nest them inside the sandbox.
    UniqueHKey scratch[std::size(kRoots)];
    for (size_t i = 0; i < std::size(kRoots); ++i) {
        const std::wstring path = scratchPath_ + L"\\" + kRoots[i].name;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_ALL_ACCESS, nullptr, scratch[i].Put(), nullptr) != ERROR_SUCCESS) {
            throw std::runtime_error("cannot create the registry sandbox");
        }
    }
    for (size_t i = 0; i < std::size(kRoots); ++i) {
        if (RegOverridePredefKey(kRoots[i].key, scratch[i].Get()) != ERROR_SUCCESS) {
            throw std::runtime_error("cannot redirect a registry root");
        }
    }
}

RegistrySandbox::~RegistrySandbox() {
    for (const Root& root : kRoots) {
        RegOverridePredefKey(root.key, nullptr);
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, scratchPath_.c_str());
}

void RegistrySandbox::Clear() const {
    for (const Root& root : kRoots) {
        RegDeleteTreeW(root.key, nullptr);
    }
}

}  // namespace kestrova::test
