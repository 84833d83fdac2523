// The .reg reader that the scan tests use to load real registry exports.
#include "support/reg_file_import.h"

#include "platform/registry.h"
#include "support/sandbox_test.h"

namespace kestrova {
namespace {

using test::ImportRegText;
using test::RegKeyMapping;

class RegFileImportTest : public test::SandboxTest {
protected:
    static RawValue Raw(HKEY root, const std::wstring& key, const std::wstring& name) {
        Registry registry(root);
        RawValue raw;
        EXPECT_TRUE(registry.OpenKeyReadOnly(L"\\" + key)) << key.c_str();
        EXPECT_TRUE(registry.ReadRaw(name, raw)) << name.c_str();
        return raw;
    }
    static std::vector<BYTE> Utf16(const std::wstring& text) {
        const BYTE* begin = reinterpret_cast<const BYTE*>(text.c_str());
        return {begin, begin + (text.size() + 1) * sizeof(wchar_t)};
    }
};

TEST_F(RegFileImportTest, WritesEveryKindOfValueWithItsExactTypeAndBytes) {
    const std::wstring text =
        L"\xFEFFWindows Registry Editor Version 5.00\r\n"
        L"\r\n"
        L"[HKEY_CURRENT_USER\\Software\\A]\r\n"
        L"@=\"default\"\r\n"
        L"\"Path\"=\"C:\\\\Program Files\\\\\\\"x\\\"\"\r\n"
        L"\"say \\\"hi\\\"=\"=dword:0000002a\r\n"
        L"\"Bin\"=hex:01,02,ff\r\n"
        L"\"Long\"=hex(7):61,00,00,00,\\\r\n"
        L"  62,00,00,00,00,00\r\n"
        L"\"NoNul\"=hex(1):41,00\r\n"
        L"\"Empty\"=hex(0):\r\n"
        L"; a comment\r\n"
        L"[HKEY_CURRENT_USER\\Software\\A\\Sub Key]\r\n"
        L"\"gone\"=\"x\"\r\n"
        L"\"gone\"=-\r\n";

    const test::RegImportCounts counts = ImportRegText(text);

    EXPECT_EQ(counts.keys, 2u);
    const std::wstring key = L"Software\\A";
    EXPECT_EQ(Raw(HKEY_CURRENT_USER, key, L"").data, Utf16(L"default"));
    EXPECT_EQ(Raw(HKEY_CURRENT_USER, key, L"Path").data, Utf16(L"C:\\Program Files\\\"x\""));
    const RawValue number = Raw(HKEY_CURRENT_USER, key, L"say \"hi\"=");
    EXPECT_EQ(number.type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(number.data, (std::vector<BYTE>{0x2a, 0, 0, 0}));
    EXPECT_EQ(Raw(HKEY_CURRENT_USER, key, L"Bin").data, (std::vector<BYTE>{1, 2, 0xff}));
    const RawValue list = Raw(HKEY_CURRENT_USER, key, L"Long");
    EXPECT_EQ(list.type, static_cast<DWORD>(REG_MULTI_SZ));
    EXPECT_EQ(list.data, (std::vector<BYTE>{0x61, 0, 0, 0, 0x62, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Raw(HKEY_CURRENT_USER, key, L"NoNul").data, (std::vector<BYTE>{0x41, 0}));
    const RawValue empty = Raw(HKEY_CURRENT_USER, key, L"Empty");
    EXPECT_EQ(empty.type, static_cast<DWORD>(REG_NONE));
    EXPECT_TRUE(empty.data.empty());
    Registry sub(HKEY_CURRENT_USER);
    ASSERT_TRUE(sub.OpenKeyReadOnly(L"\\Software\\A\\Sub Key"));
    EXPECT_FALSE(sub.ValueExists(L"gone"));
}

TEST_F(RegFileImportTest, MappingMovesAKeyPrefixToAnotherRoot) {
    ImportRegText(
        L"[HKEY_CURRENT_USER\\Software\\Classes\\.txt]\n@=\"txtfile\"\n"
        L"[HKEY_CURRENT_USER\\Software\\ClassesOther]\n@=\"stays\"\n",
        {RegKeyMapping{L"HKEY_CURRENT_USER\\Software\\Classes", HKEY_CLASSES_ROOT, L""}});
    EXPECT_EQ(Raw(HKEY_CLASSES_ROOT, L".txt", L"").data, Utf16(L"txtfile"));
    EXPECT_EQ(Raw(HKEY_CURRENT_USER, L"Software\\ClassesOther", L"").data, Utf16(L"stays"));
}

TEST_F(RegFileImportTest, UnreadableLinesAreErrors) {
    for (const wchar_t* text :
         {L"[HKEY_CURRENT_USER\\A\n", L"\"v\"=\"x\"\n", L"[HKEY_NOWHERE\\A]\n",
          L"[HKEY_CURRENT_USER\\A]\n\"v\"=hex:zz\n", L"[HKEY_CURRENT_USER\\A]\n\"v\"=what\n"}) {
        EXPECT_THROW(ImportRegText(text), test::RegFileError) << text;
    }
}

}  // namespace
}  // namespace kestrova
