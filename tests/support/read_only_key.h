#pragma once
// A registry key that everyone may read and nobody may change, for as long as the object
// lives: the way to make a write fail in the sandbox.

#include <windows.h>
#include <sddl.h>

#include <string>

namespace kestrova::test {

// Gives the key a descriptor that lets everyone read it and nothing else, and restores full
// access afterwards so the sandbox can be deleted. path has no leading "\".
class ReadOnlyKey {
public:
    ReadOnlyKey(HKEY root, const std::wstring& path) : root_(root), path_(path) {
        Apply(L"D:P(A;;KR;;;WD)");
    }
    ~ReadOnlyKey() { Apply(L"D:P(A;;KA;;;WD)"); }
    ReadOnlyKey(const ReadOnlyKey&) = delete;
    ReadOnlyKey& operator=(const ReadOnlyKey&) = delete;

private:
    void Apply(const wchar_t* sddl) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(root_, path_.c_str(), 0, WRITE_DAC, &key) != ERROR_SUCCESS) {
            return;
        }
        PSECURITY_DESCRIPTOR sd = nullptr;
        ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &sd, nullptr);
        RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, sd);
        LocalFree(sd);
        RegCloseKey(key);
    }

    HKEY root_;
    std::wstring path_;
};

}  // namespace kestrova::test
