#include "support/versioned_program.h"

#include <windows.h>

#include <stdexcept>

#include "platform/unique_handles.h"

namespace kestrova::test {

namespace {

constexpr wchar_t kAppDefaults[] = L"Software\\Wine\\AppDefaults";

}  // namespace

bool VersionedProgram::Available() {
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

VersionedProgram::VersionedProgram(const std::wstring& program, const std::wstring& folder,
                                   const std::wstring& name, const std::wstring& version)
    : path_(folder + name), settingsKey_(std::wstring(kAppDefaults) + L"\\" + name) {
    if (!CopyFileW(program.c_str(), path_.c_str(), FALSE)) {
        throw std::runtime_error("cannot copy the program to run it as another Windows");
    }
    UniqueHKey existing;
    createdAppDefaults_ = RegOpenKeyExW(HKEY_CURRENT_USER, kAppDefaults, 0, KEY_READ,
                                        existing.Put()) != ERROR_SUCCESS;
    SetVersion(version);
}

VersionedProgram::~VersionedProgram() {
    RegDeleteTreeW(HKEY_CURRENT_USER, settingsKey_.c_str());
    if (createdAppDefaults_) {
        RegDeleteKeyW(HKEY_CURRENT_USER, kAppDefaults);  // fails, as it should, if not empty
    }
}

void VersionedProgram::SetVersion(const std::wstring& version) {
    UniqueHKey key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, settingsKey_.c_str(), 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, key.Put(),
                        nullptr) != ERROR_SUCCESS ||
        RegSetValueExW(
            key.Get(), L"Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version.c_str()),
            static_cast<DWORD>((version.size() + 1) * sizeof(wchar_t))) != ERROR_SUCCESS) {
        throw std::runtime_error("cannot set the program's Windows version");
    }
}

}  // namespace kestrova::test
