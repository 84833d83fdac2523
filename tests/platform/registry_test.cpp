#include "platform/registry.h"

#include <algorithm>
#include <cstring>
#include <functional>

#include "platform/text.h"

#include "support/registry_link.h"
#include "support/sandbox_test.h"

namespace kestrova {
namespace {

using test::SandboxTest;

class RegistryTest : public SandboxTest {
protected:
    // Writes a value of any type straight through the API, bypassing the wrapper.
    static void SetRaw(HKEY root, const wchar_t* key, const wchar_t* name, DWORD type,
                       const void* data, DWORD size) {
        HKEY handle = nullptr;
        ASSERT_EQ(
            RegCreateKeyExW(root, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr),
            ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExW(handle, name, 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
        RegCloseKey(handle);
    }

    static void ExpectError(RegistryError::Kind kind, const wchar_t* message,
                            const std::function<void()>& action) {
        try {
            action();
            ADD_FAILURE() << "no RegistryError";
        } catch (const RegistryError& error) {
            EXPECT_EQ(error.kind(), kind);
            EXPECT_EQ(error.message(), message);
        }
    }
};

TEST_F(RegistryTest, SandboxStartsEmptyForEveryRoot) {
    for (HKEY root : {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS,
                      HKEY_CURRENT_CONFIG}) {
        Registry reg(root);
        ASSERT_TRUE(reg.OpenKeyReadOnly(L"\\"));
        std::vector<std::wstring> names{L"stale"};
        reg.GetKeyNames(names);
        EXPECT_TRUE(names.empty());
        EXPECT_FALSE(reg.HasSubKeys());
    }
}

TEST_F(RegistryTest, DefaultRootIsCurrentUser) {
    Registry reg;
    EXPECT_EQ(reg.RootKey(), HKEY_CURRENT_USER);
    EXPECT_EQ(reg.CurrentKey(), nullptr);
}

TEST_F(RegistryTest, OpenKeyCreatesOnlyWhenAsked) {
    Registry reg(HKEY_LOCAL_MACHINE);
    EXPECT_FALSE(reg.OpenKey(L"\\SOFTWARE\\Kestrova", false));
    EXPECT_EQ(reg.CurrentKey(), nullptr);
    ASSERT_TRUE(reg.OpenKey(L"\\SOFTWARE\\Kestrova", true));
    EXPECT_NE(reg.CurrentKey(), nullptr);
    EXPECT_TRUE(reg.KeyExists(L"\\SOFTWARE\\Kestrova"));
}

TEST_F(RegistryTest, FailedOpenKeepsThePreviousKey) {
    Registry reg;
    ASSERT_TRUE(reg.OpenKey(L"\\A", true));
    reg.WriteString(L"marker", L"A");
    EXPECT_FALSE(reg.OpenKey(L"\\Missing", false));
    EXPECT_FALSE(reg.OpenKeyReadOnly(L"\\Missing"));
    EXPECT_EQ(reg.ReadString(L"marker"), L"A");
}

TEST_F(RegistryTest, RelativePathsStartAtTheOpenKeyAbsoluteAtTheRoot) {
    Registry reg;
    ASSERT_TRUE(reg.OpenKey(L"\\Outer", true));
    ASSERT_TRUE(reg.OpenKey(L"Inner", true));  // relative: \Outer\Inner
    reg.WriteString(L"where", L"inner");
    EXPECT_TRUE(reg.KeyExists(L"\\Outer\\Inner"));
    EXPECT_FALSE(reg.KeyExists(L"\\Inner"));
    // A relative path with no key open starts at the root.
    reg.CloseKey();
    EXPECT_EQ(reg.CurrentKey(), nullptr);
    EXPECT_TRUE(reg.KeyExists(L"Outer\\Inner"));
    ASSERT_TRUE(reg.OpenKeyReadOnly(L"Outer\\Inner"));
    EXPECT_EQ(reg.ReadString(L"where"), L"inner");
    // Relative existence tests start at the open key and leave it open.
    ASSERT_TRUE(reg.OpenKey(L"\\Outer", false));
    EXPECT_TRUE(reg.KeyExists(L"Inner"));
    EXPECT_FALSE(reg.KeyExists(L"Outer"));
    EXPECT_FALSE(reg.ValueExists(L"where"));
}

TEST_F(RegistryTest, ReadOnlyKeyRefusesWrites) {
    Registry writer;
    ASSERT_TRUE(writer.OpenKey(L"\\RO", true));
    writer.WriteInteger(L"n", 7);
    Registry reader;
    ASSERT_TRUE(reader.OpenKeyReadOnly(L"\\RO"));
    EXPECT_EQ(reader.ReadInteger(L"n"), 7);
    ExpectError(RegistryError::Kind::SetDataFailed, L"Failed to set data for 'n'",
                [&] { reader.WriteInteger(L"n", 8); });
    EXPECT_FALSE(reader.DeleteValue(L"n"));
}

TEST_F(RegistryTest, ListsNamesInRegistryOrderAndClearsTheList) {
    Registry reg;
    ASSERT_TRUE(reg.OpenKey(L"\\List", true));
    for (const wchar_t* name : {L"b", L"a", L"Ünïcödé ключ", L"c"}) {
        Registry child;
        ASSERT_TRUE(child.OpenKey(std::wstring(L"\\List\\") + name, true));
        reg.WriteString(name, L"");
    }
    std::vector<std::wstring> keys{L"leftover"}, values{L"leftover"};
    reg.GetKeyNames(keys);
    reg.GetValueNames(values);
    EXPECT_EQ(keys.size(), 4u);
    EXPECT_EQ(values.size(), 4u);
    EXPECT_NE(std::find(keys.begin(), keys.end(), L"Ünïcödé ключ"), keys.end());
    EXPECT_EQ(std::find(keys.begin(), keys.end(), L"leftover"), keys.end());
    EXPECT_TRUE(reg.HasSubKeys());

    Registry closed;
    closed.GetKeyNames(keys);
    closed.GetValueNames(values);
    EXPECT_TRUE(keys.empty());
    EXPECT_TRUE(values.empty());
    EXPECT_FALSE(closed.HasSubKeys());
}

TEST_F(RegistryTest, ValueTypesAndSizes) {
    const DWORD dword = 5;
    const BYTE binary[] = {1, 2, 3};
    const wchar_t multi[] = L"a\0b\0";
    const ULONGLONG qword = 1;
    SetRaw(HKEY_CURRENT_USER, L"T", L"sz", REG_SZ, L"abc", 8);
    SetRaw(HKEY_CURRENT_USER, L"T", L"expand", REG_EXPAND_SZ, L"%x%", 8);
    SetRaw(HKEY_CURRENT_USER, L"T", L"dword", REG_DWORD, &dword, 4);
    SetRaw(HKEY_CURRENT_USER, L"T", L"binary", REG_BINARY, binary, 3);
    SetRaw(HKEY_CURRENT_USER, L"T", L"multi", REG_MULTI_SZ, multi, sizeof(multi));
    SetRaw(HKEY_CURRENT_USER, L"T", L"qword", REG_QWORD, &qword, 8);
    SetRaw(HKEY_CURRENT_USER, L"T", L"none", REG_NONE, nullptr, 0);

    struct Case {
        const wchar_t* name;
        RegDataType type;
        int64_t size;
    };
    const Case cases[] = {
        {L"sz", RegDataType::String, 8},
        {L"expand", RegDataType::ExpandString, 8},
        {L"dword", RegDataType::Integer, 4},
        {L"binary", RegDataType::Binary, 3},
        {L"multi", RegDataType::Unknown, sizeof(multi)},
        {L"qword", RegDataType::Unknown, 8},
        {L"none", RegDataType::Unknown, 0},
        {L"missing", RegDataType::Unknown, -1},
    };
    Registry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly(L"\\T"));
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "value " << ToUtf8(c.name));
        EXPECT_EQ(reg.GetDataType(c.name), c.type);
        EXPECT_EQ(reg.GetDataSize(c.name), c.size);
        EXPECT_EQ(reg.ValueExists(c.name), c.size >= 0);
    }
}

TEST_F(RegistryTest, ReadStringStopsAtNulAndHandlesOddStoredData) {
    // Text stored without its NUL, with an embedded NUL, with an odd byte count, and empty.
    SetRaw(HKEY_CURRENT_USER, L"S", L"noNul", REG_SZ, L"abcd", 8);
    SetRaw(HKEY_CURRENT_USER, L"S", L"embedded", REG_SZ, L"ab\0cd", 12);
    SetRaw(HKEY_CURRENT_USER, L"S", L"odd", REG_SZ, L"xyz", 5);
    SetRaw(HKEY_CURRENT_USER, L"S", L"empty", REG_SZ, nullptr, 0);
    SetRaw(HKEY_CURRENT_USER, L"S", L"", REG_SZ, L"default", 16);
    SetRaw(HKEY_CURRENT_USER, L"S", L"expand", REG_EXPAND_SZ, L"%windir%", 18);
    Registry reg;
    ASSERT_TRUE(reg.OpenKey(L"\\S", false));
    EXPECT_EQ(reg.ReadString(L"noNul"), L"abcd");
    EXPECT_EQ(reg.ReadString(L"embedded"), L"ab");
    EXPECT_EQ(reg.ReadString(L"odd"), L"xy");
    EXPECT_EQ(reg.ReadString(L"empty"), L"");
    EXPECT_EQ(reg.ReadString(L""), L"default");
    EXPECT_EQ(reg.ReadString(L"expand"), L"%windir%");  // never expanded
    EXPECT_EQ(reg.ReadString(L"missing"), L"");
    const std::wstring longText(40000, L'x');
    reg.WriteString(L"long", longText);
    EXPECT_EQ(reg.ReadString(L"long"), longText);
}

TEST_F(RegistryTest, ReadErrorsCarryTheirMessages) {
    const DWORD dword = 1;
    const BYTE binary[] = {1, 2, 3, 4, 5};
    const wchar_t multi[] = L"a\0";
    SetRaw(HKEY_CURRENT_USER, L"E", L"dword", REG_DWORD, &dword, 4);
    SetRaw(HKEY_CURRENT_USER, L"E", L"binary", REG_BINARY, binary, 5);
    SetRaw(HKEY_CURRENT_USER, L"E", L"multi", REG_MULTI_SZ, multi, sizeof(multi));
    SetRaw(HKEY_CURRENT_USER, L"E", L"sz", REG_SZ, L"1", 4);
    Registry reg;
    ASSERT_TRUE(reg.OpenKey(L"\\E", false));
    using Kind = RegistryError::Kind;
    BYTE buffer[4] = {};
    ExpectError(Kind::InvalidDataType, L"Invalid data type for 'dword'",
                [&] { reg.ReadString(L"dword"); });
    ExpectError(Kind::InvalidDataType, L"Invalid data type for 'multi'",
                [&] { reg.ReadString(L"multi"); });
    ExpectError(Kind::InvalidDataType, L"Invalid data type for 'sz'",
                [&] { reg.ReadInteger(L"sz"); });
    ExpectError(Kind::GetDataFailed, L"Failed to get data for 'missing'",
                [&] { reg.ReadInteger(L"missing"); });
    ExpectError(Kind::InvalidDataType, L"Invalid data type for 'sz'",
                [&] { reg.ReadBinaryData(L"sz", buffer, sizeof(buffer)); });
    ExpectError(Kind::InvalidDataType, L"Invalid data type for 'binary'",
                [&] { reg.ReadBinaryData(L"binary", buffer, sizeof(buffer)); });
    EXPECT_EQ(reg.ReadBinaryData(L"missing", buffer, sizeof(buffer)), 0u);
}

TEST_F(RegistryTest, WritesCreateOrReplaceWithTheirTypes) {
    Registry reg(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.OpenKey(L"\\W", true));
    reg.WriteInteger(L"v", -2);
    EXPECT_EQ(reg.GetDataType(L"v"), RegDataType::Integer);
    EXPECT_EQ(reg.ReadInteger(L"v"), -2);
    reg.WriteString(L"v", L"text");  // replaces the integer
    EXPECT_EQ(reg.GetDataType(L"v"), RegDataType::String);
    EXPECT_EQ(reg.ReadString(L"v"), L"text");
    reg.WriteExpandString(L"e", L"%TEMP%");
    EXPECT_EQ(reg.GetDataType(L"e"), RegDataType::ExpandString);
    const BYTE bytes[] = {0, 0xFF, 0x10};
    reg.WriteBinaryData(L"b", bytes, sizeof(bytes));
    BYTE back[8] = {};
    ASSERT_EQ(reg.ReadBinaryData(L"b", back, sizeof(back)), 3u);
    EXPECT_EQ(std::memcmp(back, bytes, 3), 0);
    reg.WriteBinaryData(L"empty", nullptr, 0);
    EXPECT_EQ(reg.GetDataSize(L"empty"), 0);

    Registry closed;
    ExpectError(RegistryError::Kind::SetDataFailed, L"Failed to set data for 'x'",
                [&] { closed.WriteString(L"x", L"y"); });
}

TEST_F(RegistryTest, RawValuesRoundTripAnyType) {
    Registry reg;
    ASSERT_TRUE(reg.OpenKey(L"\\Raw", true));
    const RawValue values[] = {
        {REG_MULTI_SZ, {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0}},
        {REG_QWORD, {1, 2, 3, 4, 5, 6, 7, 8}},
        {REG_NONE, {}},
        {REG_EXPAND_SZ, {'%', 0, 'x', 0, '%', 0, 0, 0}},
        {REG_RESOURCE_LIST, {9, 9, 9}},
    };
    int i = 0;
    for (const RawValue& value : values) {
        const std::wstring name = L"v" + std::to_wstring(i++);
        reg.WriteRaw(name, value);
        RawValue back{REG_SZ, {42}};
        ASSERT_TRUE(reg.ReadRaw(name, back));
        EXPECT_EQ(back.type, value.type);
        EXPECT_EQ(back.data, value.data);
    }
    RawValue untouched{REG_SZ, {42}};
    EXPECT_FALSE(reg.ReadRaw(L"missing", untouched));
    EXPECT_EQ(untouched.data, std::vector<BYTE>{42});
}

TEST_F(RegistryTest, DeleteValue) {
    Registry reg;
    ASSERT_TRUE(reg.OpenKey(L"\\D", true));
    reg.WriteString(L"x", L"1");
    EXPECT_TRUE(reg.DeleteValue(L"x"));
    EXPECT_FALSE(reg.ValueExists(L"x"));
    EXPECT_FALSE(reg.DeleteValue(L"x"));
}

TEST_F(RegistryTest, DeleteKeyRemovesTheWholeTreeAndNothingElse) {
    Registry reg;
    for (const wchar_t* path :
         {L"\\Tree\\A\\B\\C\\D", L"\\Tree\\A\\E", L"\\Tree\\F", L"\\TreeSibling"}) {
        ASSERT_TRUE(reg.OpenKey(path, true));
        reg.WriteString(L"v", path);
    }
    reg.CloseKey();
    EXPECT_TRUE(reg.DeleteKey(L"\\Tree"));
    EXPECT_FALSE(reg.KeyExists(L"\\Tree"));
    EXPECT_TRUE(reg.KeyExists(L"\\TreeSibling"));
    EXPECT_FALSE(reg.DeleteKey(L"\\Tree"));
    EXPECT_FALSE(reg.DeleteKey(L"\\"));  // never the root itself
    EXPECT_TRUE(reg.KeyExists(L"\\TreeSibling"));

    // A relative path is deleted under the open key.
    ASSERT_TRUE(reg.OpenKey(L"\\TreeSibling\\Child\\Grandchild", true));
    ASSERT_TRUE(reg.OpenKey(L"\\TreeSibling", false));
    EXPECT_TRUE(reg.DeleteKey(L"Child"));
    EXPECT_FALSE(reg.KeyExists(L"\\TreeSibling\\Child"));
    EXPECT_TRUE(reg.KeyExists(L"\\TreeSibling"));
}

TEST_F(RegistryTest, ReadOnlyOpenAndKeyExistsWorkOnEveryRoot) {
    for (HKEY root : {HKEY_CLASSES_ROOT, HKEY_LOCAL_MACHINE, HKEY_USERS, HKEY_CURRENT_CONFIG}) {
        Registry writer(root);
        ASSERT_TRUE(writer.OpenKey(L"\\Probe", true));
        writer.WriteString(L"root", L"x");
        Registry reader;
        reader.SetRootKey(root);
        EXPECT_TRUE(reader.KeyExists(L"\\Probe"));
        ASSERT_TRUE(reader.OpenKeyReadOnly(L"\\Probe"));
        EXPECT_EQ(reader.ReadString(L"root"), L"x");
        writer.CloseKey();
        EXPECT_TRUE(writer.DeleteKey(L"\\Probe"));
    }
}

// --- Key information, exact writes, stored names and registry links -------------------------

TEST_F(RegistryTest, KeyInfoCountsAndLongestLengths) {
    Registry reg;
    EXPECT_FALSE(reg.QueryKeyInfo());  // no key open
    ASSERT_TRUE(reg.OpenKey(L"\\Info\\Sub", true));
    ASSERT_TRUE(reg.OpenKey(L"\\Info\\LongerSubKey", true));
    ASSERT_TRUE(reg.OpenKey(L"\\Info", false));
    reg.WriteString(L"a", L"12345");
    reg.WriteInteger(L"longest name", 7);
    const auto info = reg.QueryKeyInfo();
    ASSERT_TRUE(info);
    EXPECT_EQ(info->subKeys, 2u);
    EXPECT_EQ(info->maxSubKeyLength, 12u);
    EXPECT_EQ(info->values, 2u);
    EXPECT_EQ(info->maxValueNameLength, 12u);
    EXPECT_EQ(info->maxValueLength, 12u);  // "12345" with its NUL
}

TEST_F(RegistryTest, ExactWritesKeepTextWithoutItsNulAndOddSizes) {
    Registry reg;
    ASSERT_TRUE(reg.OpenKey(L"\\Exact", true));
    const RawValue values[] = {
        {REG_SZ, {'a', 0, 'b', 0}},                    // no final NUL
        {REG_EXPAND_SZ, {'a', 0, 'b'}},                // odd byte count
        {REG_MULTI_SZ, {'a', 0, 0, 0, 'b', 0, 0, 0}},  // no closing empty string
        {REG_SZ, {}},
        {REG_LINK, {'x', 0}},
        {0x12345678, {1, 2, 3}},
    };
    int i = 0;
    for (const RawValue& value : values) {
        const std::wstring name = L"v" + std::to_wstring(i++);
        reg.WriteRawExact(name, value);
        RawValue back;
        ASSERT_TRUE(reg.ReadRaw(name, back)) << i;
        EXPECT_EQ(back.type, value.type) << i;
        EXPECT_EQ(back.data, value.data) << i;
    }
    Registry closed;
    ExpectError(RegistryError::Kind::SetDataFailed, L"Failed to set data for 'x'", [&] {
        closed.WriteRawExact(L"x", RawValue{REG_SZ, {}});
    });
}

TEST_F(RegistryTest, StoredKeyNameIsTheRegistrysSpelling) {
    Registry reg;
    EXPECT_FALSE(reg.StoredKeyName());
    ASSERT_TRUE(reg.OpenKey(L"\\Sound\\.Current", true));
    ASSERT_TRUE(reg.OpenKeyReadOnly(L"\\SOUND\\.current"));
    EXPECT_EQ(reg.StoredKeyName(), L".Current");
    ASSERT_TRUE(reg.OpenKey(L"\\sound", false));
    EXPECT_EQ(reg.StoredKeyName(), L"Sound");
}

class RegistryLinkTest : public RegistryTest {
protected:
    void SetUp() override {
        Registry reg;
        ASSERT_TRUE(reg.OpenKey(L"\\Target\\Child", true));
        reg.WriteString(L"kept", L"target data");
        ASSERT_TRUE(reg.OpenKey(L"\\Tree\\Plain", true));
        reg.WriteString(L"v", L"plain");
        test::MakeRegistryLink(HKEY_CURRENT_USER, L"Tree\\Link", HKEY_CURRENT_USER, L"Target");
    }
    void TearDown() override { test::RemoveRegistryLink(HKEY_CURRENT_USER, L"Tree\\Link"); }

    static bool TargetIntact() {
        Registry reg;
        return reg.OpenKeyReadOnly(L"\\Target\\Child") && reg.ReadString(L"kept") == L"target data";
    }
};

TEST_F(RegistryLinkTest, LinksAreToldApartAndOpenedThemselves) {
    Registry reg;
    EXPECT_TRUE(reg.IsLink(L"\\Tree\\Link"));
    EXPECT_FALSE(reg.IsLink(L"\\Tree\\Plain"));
    EXPECT_FALSE(reg.IsLink(L"\\Tree\\Missing"));
    // Followed, the link shows its target's subkeys; opened itself, it has none.
    ASSERT_TRUE(reg.OpenKeyReadOnly(L"\\Tree\\Link"));
    EXPECT_TRUE(reg.HasSubKeys());
    ASSERT_TRUE(reg.OpenKeyNoFollow(L"\\Tree\\Link"));
    EXPECT_FALSE(reg.HasSubKeys());
    EXPECT_EQ(reg.StoredKeyName(), L"Link");
    ASSERT_TRUE(reg.OpenKeyNoFollow(L"\\Tree\\Plain"));
    EXPECT_EQ(reg.ReadString(L"v"), L"plain");
}

TEST_F(RegistryLinkTest, DeleteKeyNeverDeletesThroughALink) {
    Registry reg;
    // The link itself named: nothing goes.
    EXPECT_FALSE(reg.DeleteKey(L"\\Tree\\Link"));
    EXPECT_TRUE(TargetIntact());
    // A tree holding a link: everything else goes, the link and so its parent stay.
    EXPECT_FALSE(reg.DeleteKey(L"\\Tree"));
    EXPECT_TRUE(TargetIntact());
    EXPECT_FALSE(reg.KeyExists(L"\\Tree\\Plain"));
    EXPECT_TRUE(reg.IsLink(L"\\Tree\\Link"));
}

TEST_F(RegistryTest, TwoPathsOfOneKeyHaveOneObjectName) {
    Registry first(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(first.OpenKey(L"\\Software\\A\\B", true));
    Registry second(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(second.OpenKeyReadOnly(L"\\SOFTWARE\\a"));
    ASSERT_TRUE(second.OpenKeyReadOnly(L"b"));
    Registry other(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(other.OpenKeyReadOnly(L"\\Software\\A"));

    const std::wstring name = first.OpenKeyObjectName();
    ASSERT_FALSE(name.empty());
    EXPECT_EQ(name.rfind(L"\\REGISTRY\\", 0), 0u) << ToUtf8(name);
    EXPECT_EQ(CompareStringOrdinal(name.c_str(), -1, second.OpenKeyObjectName().c_str(), -1, TRUE),
              CSTR_EQUAL);
    // The parent's name and one more level.
    EXPECT_EQ(CompareStringOrdinal((other.OpenKeyObjectName() + L"\\B").c_str(), -1, name.c_str(),
                                   -1, TRUE),
              CSTR_EQUAL);
    EXPECT_EQ(Registry(HKEY_LOCAL_MACHINE).OpenKeyObjectName(), L"");
}

}  // namespace
}  // namespace kestrova
