#include "support/key_access.h"

#include <sddl.h>

#include <gtest/gtest.h>

#include "platform/unique_handles.h"

namespace kestrova::test {

void SetKeyAccess(HKEY root, const std::wstring& path, const wchar_t* sddl) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1,
                                                                     &descriptor, nullptr));
    const std::wstring relative = !path.empty() && path[0] == L'\\' ? path.substr(1) : path;
    UniqueHKey key;
    const LSTATUS opened = RegOpenKeyExW(root, relative.c_str(), 0, WRITE_DAC, key.Put());
    EXPECT_EQ(opened, ERROR_SUCCESS);
    if (opened == ERROR_SUCCESS) {
        EXPECT_EQ(RegSetKeySecurity(key.Get(), DACL_SECURITY_INFORMATION, descriptor),
                  ERROR_SUCCESS);
    }
    LocalFree(descriptor);
}

}  // namespace kestrova::test
