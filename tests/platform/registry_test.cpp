#include "platform/registry.h"

#include "support/sandbox_test.h"

namespace kestrova {
namespace {

using test::SandboxTest;

class RegistryTest : public SandboxTest {};

TEST_F(RegistryTest, SandboxStartsEmpty) {
    for (HKEY root : {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS,
                      HKEY_CURRENT_CONFIG}) {
        Registry reg(root);
        ASSERT_TRUE(reg.OpenKeyReadOnly(L"\\"));
        std::vector<std::wstring> names{L"stale"};
        reg.GetKeyNames(names);
        EXPECT_TRUE(names.empty());
    }
}

}  // namespace
}  // namespace kestrova
