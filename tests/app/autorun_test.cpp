#include "app/autorun.h"

#include "platform/registry.h"
#include "support/sandbox_test.h"

namespace kestrova {
namespace {

constexpr wchar_t kExe[] = L"C:\\Program Files\\Kestrova\\kestrova.exe";

class AutorunTest : public test::SandboxTest {
protected:
    std::wstring RunValue() const {
        Registry reg(HKEY_CURRENT_USER);
        return reg.OpenKeyReadOnly(kRunKeyPath) ? reg.ReadString(L"Kestrova") : L"<no key>";
    }
    bool RunValueExists() const {
        Registry reg(HKEY_CURRENT_USER);
        return reg.OpenKeyReadOnly(kRunKeyPath) && reg.ValueExists(L"Kestrova");
    }
};

TEST_F(AutorunTest, FollowsTheRunValueForThisExactPath) {
    EXPECT_FALSE(IsAutorunSet(kExe));
    EXPECT_TRUE(Registry(HKEY_CURRENT_USER).KeyExists(kRunKeyPath)) << "the Run key is made";

    SetAutorun(true, kExe);
    EXPECT_EQ(RunValue(), kExe);
    EXPECT_TRUE(IsAutorunSet(kExe));
    // Moved, or the same path in other letters: not ours.
    EXPECT_FALSE(IsAutorunSet(L"D:\\Kestrova\\kestrova.exe"));
    EXPECT_FALSE(IsAutorunSet(L"c:\\program files\\kestrova\\kestrova.exe"));
    // Checking the box again stores the new path.
    SetAutorun(true, L"D:\\Kestrova\\kestrova.exe");
    EXPECT_TRUE(IsAutorunSet(L"D:\\Kestrova\\kestrova.exe"));

    SetAutorun(false, kExe);
    EXPECT_FALSE(RunValueExists());
    EXPECT_NO_THROW(SetAutorun(false, kExe)) << "a missing value is no error";
    EXPECT_FALSE(IsAutorunSet(kExe));
}

TEST_F(AutorunTest, OtherValuesOfTheRunKeyAreLeftAlone) {
    Registry reg(HKEY_CURRENT_USER);
    ASSERT_TRUE(reg.OpenKey(kRunKeyPath, true));
    reg.WriteString(L"Other", L"other.exe");
    SetAutorun(true, kExe);
    SetAutorun(false, kExe);
    EXPECT_EQ(reg.ReadString(L"Other"), L"other.exe");
}

TEST_F(AutorunTest, ValueOfAnotherTypeIsAnError) {
    Registry reg(HKEY_CURRENT_USER);
    ASSERT_TRUE(reg.OpenKey(kRunKeyPath, true));
    reg.WriteInteger(L"Kestrova", 1);
    try {
        IsAutorunSet(kExe);
        ADD_FAILURE() << "no error for a number";
    } catch (const RegistryError& error) {
        EXPECT_EQ(error.kind(), RegistryError::Kind::InvalidDataType);
    }
}

}  // namespace
}  // namespace kestrova
