#include "scan/key_names.h"

#include <algorithm>

#include "platform/registry.h"
#include "support/sandbox_test.h"

namespace kestrova {
namespace {

using test::SandboxTest;

TEST(RootKeyNameTest, NamesEveryPredefinedRootAndNothingElse) {
    const struct {
        HKEY root;
        const wchar_t* name;
    } cases[] = {
        {HKEY_CLASSES_ROOT, L"HKEY_CLASSES_ROOT"},
        {HKEY_CURRENT_USER, L"HKEY_CURRENT_USER"},
        {HKEY_LOCAL_MACHINE, L"HKEY_LOCAL_MACHINE"},
        {HKEY_USERS, L"HKEY_USERS"},
        {HKEY_PERFORMANCE_DATA, L"HKEY_PERFORMANCE_DATA"},
        {HKEY_CURRENT_CONFIG, L"HKEY_CURRENT_CONFIG"},
        {reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(0x80000006))),
         L"HKEY_DYN_DATA"},
        {nullptr, L""},
        {reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(0x80000007))), L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RootKeyName(c.root), c.name) << c.name;
    }
}

TEST(RootKeyFromNameTest, ReadsFourNamesExactlyAndEverythingElseAsClassesRoot) {
    const struct {
        const wchar_t* name;
        HKEY root;
    } cases[] = {
        {L"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
        {L"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
        {L"HKEY_USERS", HKEY_USERS},
        {L"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
        {L"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
        {L"", HKEY_CLASSES_ROOT},
        {L"hkey_local_machine", HKEY_CLASSES_ROOT},
        {L"HKEY_Current_User", HKEY_CLASSES_ROOT},
        {L"HKEY_LOCAL_MACHINE ", HKEY_CLASSES_ROOT},
        {L"HKLM", HKEY_CLASSES_ROOT},
        {L"HKEY_PERFORMANCE_DATA", HKEY_CLASSES_ROOT},
        {L"HKEY_DYN_DATA", HKEY_CLASSES_ROOT},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RootKeyFromName(c.name), c.root) << c.name;
    }
}

TEST(KeyNameSplitTest, TakesKeyNamesApartAndJoinsThemBack) {
    const struct {
        const wchar_t* keyName;
        HKEY root;
        const wchar_t* parent;
        const wchar_t* leaf;
    } cases[] = {
        {L"HKEY_CURRENT_USER\\Software\\A\\v", HKEY_CURRENT_USER, L"\\Software\\A", L"v"},
        {L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\CLSID\\{1}\\InprocServer32", HKEY_LOCAL_MACHINE,
         L"\\SOFTWARE\\Classes\\CLSID\\{1}", L"InprocServer32"},
        {L"HKEY_USERS\\.DEFAULT\\Value Name", HKEY_USERS, L"\\.DEFAULT", L"Value Name"},
        {L"HKEY_CURRENT_CONFIG\\a\\\\b", HKEY_CURRENT_CONFIG, L"\\a\\", L"b"},
        {L"HKEY_LOCAL_MACHINE\\Software\\Key\\", HKEY_LOCAL_MACHINE, L"\\Software\\Key", L""},
        {L"HKEY_LOCAL_MACHINE\\\\", HKEY_LOCAL_MACHINE, L"\\", L""},
        {L"HKEY_CLASSES_ROOT\\.txt\\", HKEY_CLASSES_ROOT, L"\\.txt", L""},
        // Fewer than two "\": no parent.
        {L"HKEY_USERS\\S-1-5-18", HKEY_USERS, L"", L"S-1-5-18"},
        {L"HKEY_LOCAL_MACHINE", HKEY_CLASSES_ROOT, L"", L"HKEY_LOCAL_MACHINE"},
        {L"", HKEY_CLASSES_ROOT, L"", L""},
        // Root names are case-sensitive.
        {L"hkey_current_user\\Software\\v", HKEY_CLASSES_ROOT, L"\\Software", L"v"},
    };
    for (const auto& c : cases) {
        const std::wstring keyName = c.keyName;
        SCOPED_TRACE(testing::Message() << "key name " << keyName);
        EXPECT_EQ(KeyNameRoot(keyName), c.root);
        EXPECT_EQ(KeyNameParent(keyName), c.parent);
        EXPECT_EQ(KeyNameLeaf(keyName), c.leaf);

        const std::wstring rootText = RootKeyName(KeyNameRoot(keyName));
        if (std::count(keyName.begin(), keyName.end(), L'\\') >= 2 &&
            keyName.starts_with(rootText + L"\\")) {
            EXPECT_EQ(
                rootText + L"\\" + KeyNameParent(keyName).substr(1) + L"\\" + KeyNameLeaf(keyName),
                keyName);
        }
    }
}

class KeyExistsUnderTest : public SandboxTest {};

TEST_F(KeyExistsUnderTest, TestsTheKeyUnderTheGivenRootOnly) {
    Registry registry(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(registry.OpenKey(L"\\SOFTWARE\\Kestrova\\Sub", true));

    EXPECT_TRUE(KeyExistsUnder(HKEY_LOCAL_MACHINE, L"\\SOFTWARE\\Kestrova\\Sub"));
    EXPECT_TRUE(KeyExistsUnder(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Kestrova"));
    EXPECT_FALSE(KeyExistsUnder(HKEY_LOCAL_MACHINE, L"\\SOFTWARE\\Kestrova\\Missing"));
    EXPECT_FALSE(KeyExistsUnder(HKEY_CURRENT_USER, L"\\SOFTWARE\\Kestrova"));

    // The way the repair code uses it: the parent of a Key Name ending in a value name.
    const std::wstring keyName = L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Kestrova\\Sub\\Value";
    EXPECT_TRUE(KeyExistsUnder(KeyNameRoot(keyName), KeyNameParent(keyName)));
    const std::wstring wrongRoot = L"HKEY_CURRENT_USER\\SOFTWARE\\Kestrova\\Sub\\Value";
    EXPECT_FALSE(KeyExistsUnder(KeyNameRoot(wrongRoot), KeyNameParent(wrongRoot)));
}

}  // namespace
}  // namespace kestrova
