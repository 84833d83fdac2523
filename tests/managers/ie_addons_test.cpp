// The Internet Explorer add-on list: the five kinds read from a sandboxed registry, the
// display-name rules, value texts, the order of the rows and the protected rows.
#include "managers/ie_addons.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "ie_test_support.h"
#include "platform/text.h"
#include "repair_test_support.h"
#include "support/sandbox_test.h"

namespace kestrova {
namespace {

using test::kBarsAllKey;
using test::kBarsUserKey;
using test::kExplorerKey;
using test::kMenuExtKey;
using test::kStatsKey;
using test::kToolbarAllKey;
using test::kToolbarUserKey;
using test::PutKey;
using test::PutValue;
using test::RawOf;
using test::Text;
using test::Utf16Bytes;

// HKEY_CLASSES_ROOT\CLSID\<clsid> with its name and server file, each when given.
void RegisterClass(const std::wstring& clsid, const wchar_t* title, const wchar_t* server) {
    const std::wstring key = L"\\CLSID\\" + clsid;
    PutKey(HKEY_CLASSES_ROOT, key);
    if (title != nullptr) {
        PutValue(HKEY_CLASSES_ROOT, key, L"", Text(title));
    }
    if (server != nullptr) {
        PutValue(HKEY_CLASSES_ROOT, key + L"\\InprocServer32", L"", Text(server));
        PutValue(HKEY_CLASSES_ROOT, key + L"\\InprocServer32", L"ThreadingModel",
                 Text(L"Apartment"));
    }
}

AddonRow Row(AddonKind kind, const std::wstring& name, const std::wstring& entry,
             const std::wstring& path, const std::wstring& keyName, const std::wstring& id) {
    return {kind, name, AddonKindText(kind), entry, path, keyName, id};
}

std::vector<std::wstring> Names(const std::vector<AddonRow>& rows) {
    std::vector<std::wstring> names;
    for (const AddonRow& row : rows) {
        names.push_back(row.name);
    }
    return names;
}

class IeAddonsTest : public test::SandboxTest {
protected:
    // One registration or more of every kind, and some that are not listed.
    void RegisterEveryKind() {
        PutValue(HKEY_LOCAL_MACHINE, kToolbarAllKey, L"{T1}", Text(L""));
        PutValue(HKEY_LOCAL_MACHINE, kToolbarAllKey, L"NoBrace", Text(L""));
        PutValue(HKEY_LOCAL_MACHINE, kToolbarAllKey, L"", Text(L"{T1}"));
        RegisterClass(L"{T1}", L"&Address", L"C:\\bars\\t1.exe");
        PutValue(HKEY_CURRENT_USER, kToolbarUserKey, L"{T2}", RawOf(REG_BINARY, {1}));
        RegisterClass(L"{T2}", L"Links", L"C:\\bars\\t2.dll");
        PutValue(HKEY_CURRENT_USER, kToolbarUserKey, L"{T3}", RawOf(REG_BINARY, {1}));
        PutKey(HKEY_CURRENT_USER, kStatsKey + L"\\{B1}");
        RegisterClass(L"{B1}", L"Helper", L"C:\\ext\\b1.DLL");
        PutKey(HKEY_CURRENT_USER, kStatsKey + L"\\{B2}");
        RegisterClass(L"{B2}", L"Not a dll", L"C:\\ext\\b2.exe");
        PutKey(HKEY_CURRENT_USER, kStatsKey + L"\\{B3}");
        PutKey(HKEY_LOCAL_MACHINE, kBarsAllKey + L"\\{E1}");
        RegisterClass(L"{E1}", L"Research", L"C:\\bars\\e1.dll");
        PutKey(HKEY_CURRENT_USER, kBarsUserKey + L"\\{E2}");
        RegisterClass(L"{E2}", L"History", L"%SystemRoot%\\system32\\SHDOCVW.dll");
        PutValue(HKEY_CURRENT_USER, kMenuExtKey + L"\\&Send to Notes", L"",
                 Text(L"C:\\n\\send.htm"));
        PutValue(HKEY_CURRENT_USER, kMenuExtKey + L"\\&&", L"", RawOf(REG_DWORD, {0xFF, 0, 0, 0}));
        PutValue(HKEY_CURRENT_USER, kExplorerKey, L"DownloadUI", Text(L"{D1}"));
        RegisterClass(L"{D1}", L"Downloader", L"C:\\dl\\d1.dll");
    }
};

TEST_F(IeAddonsTest, EveryKindIsListedByItsRulesSortedByName) {
    RegisterEveryKind();
    const std::wstring hkcu = L"HKEY_CURRENT_USER";
    const std::wstring hklm = L"HKEY_LOCAL_MACHINE";
    const std::vector<AddonRow> expected = {
        Row(AddonKind::ToolbarCurrentUser, L"(Unknown) Toolbar", L"{T3}", L"", L"{T3}",
            hkcu + kToolbarUserKey + L"\\{T3}"),
        Row(AddonKind::ToolbarAllUsers, L"Address Toolbar", L"{T1}", L"C:\\bars\\t1.exe", L"{T1}",
            hklm + kToolbarAllKey + L"\\{T1}"),
        Row(AddonKind::DownloadHandler, L"Downloader", L"{D1}", L"C:\\dl\\d1.dll", L"{D1}",
            hkcu + kExplorerKey + L"\\DownloadUI"),
        Row(AddonKind::BrowserExtension, L"Helper", L"{B1}", L"C:\\ext\\b1.DLL", L"{B1}",
            hkcu + kStatsKey + L"\\{B1}"),
        Row(AddonKind::ExplorerBarCurrentUser, L"History", L"{E2}",
            L"%SystemRoot%\\system32\\SHDOCVW.dll", L"{E2}", hkcu + kBarsUserKey + L"\\{E2}"),
        Row(AddonKind::ToolbarCurrentUser, L"Links Toolbar", L"{T2}", L"C:\\bars\\t2.dll", L"{T2}",
            hkcu + kToolbarUserKey + L"\\{T2}"),
        Row(AddonKind::ExplorerBarAllUsers, L"Research", L"{E1}", L"C:\\bars\\e1.dll", L"{E1}",
            hklm + kBarsAllKey + L"\\{E1}"),
        Row(AddonKind::MenuExtension, L"Send to Notes", kMenuExtensionsEntry, L"C:\\n\\send.htm",
            L"&Send to Notes", hkcu + kMenuExtKey + L"\\&Send to Notes"),
        Row(AddonKind::MenuExtension, L"Unknown Toolbar", kMenuExtensionsEntry, L"255", L"&&",
            hkcu + kMenuExtKey + L"\\&&"),
    };
    const std::vector<AddonRow> rows = FillAddonList(AddonKinds{});
    ASSERT_EQ(rows.size(), expected.size()) << ::testing::PrintToString(Names(rows));
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i], expected[i])
            << i << ": " << ToUtf8(rows[i].name) << " / " << ToUtf8(rows[i].id);
    }
}

TEST_F(IeAddonsTest, EachDisplayBoxShowsItsKindsOnly) {
    RegisterEveryKind();
    struct Case {
        AddonKinds kinds;
        std::vector<AddonKind> listed;  // in listing order, before sorting
    };
    const Case cases[] = {
        {{true, false, false, false, false},
         {AddonKind::ToolbarAllUsers, AddonKind::ToolbarCurrentUser}},
        {{false, true, false, false, false}, {AddonKind::BrowserExtension}},
        {{false, false, true, false, false},
         {AddonKind::ExplorerBarAllUsers, AddonKind::ExplorerBarCurrentUser}},
        {{false, false, false, true, false}, {AddonKind::MenuExtension}},
        {{false, false, false, false, true}, {AddonKind::DownloadHandler}},
        {{false, false, false, false, false}, {}},
    };
    for (const Case& c : cases) {
        const std::vector<AddonRow> rows = FillAddonList(c.kinds);
        std::vector<AddonKind> kinds;
        for (const AddonRow& row : rows) {
            if (std::find(kinds.begin(), kinds.end(), row.kind) == kinds.end()) {
                kinds.push_back(row.kind);
            }
        }
        std::sort(kinds.begin(), kinds.end());
        EXPECT_EQ(kinds, c.listed) << ::testing::PrintToString(Names(rows));
    }
}

TEST_F(IeAddonsTest, DisplayNamesFollowTheRules) {
    struct Case {
        AddonKind kind;
        const wchar_t* raw;
        const wchar_t* shown;
    };
    const Case cases[] = {
        {AddonKind::BrowserExtension, L"", L"(Unknown)"},
        {AddonKind::BrowserExtension, L" \t\r\n", L"(Unknown)"},
        {AddonKind::ToolbarAllUsers, L"", L"(Unknown) Toolbar"},
        {AddonKind::MenuExtension, L"&&&", L"Unknown Toolbar"},
        {AddonKind::ToolbarCurrentUser, L"&&", L"Unknown Toolbar Toolbar"},
        {AddonKind::ToolbarCurrentUser, L"&Address", L"Address Toolbar"},
        {AddonKind::ExplorerBarAllUsers, L" A&B & ", L" AB  "},
        {AddonKind::DownloadHandler, L"Get & Go", L"Get  Go"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AddonDisplayName(c.kind, c.raw), c.shown) << ToUtf8(c.raw);
    }
}

TEST_F(IeAddonsTest, RowsNeedAnEntryTextAndSortByTheUsersLocale) {
    std::vector<AddonRow> rows;
    AddAddonRow(rows, AddonKind::BrowserExtension, L"x", L" \t", L"p");
    AddAddonRow(rows, AddonKind::BrowserExtension, L"x", L"", L"p");
    EXPECT_TRUE(rows.empty());
    AddAddonRow(rows, AddonKind::BrowserExtension, L"x", L" {C} ", L"p");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].entry, L" {C} ");

    // Locale order, not code order: "alpha" comes before "Beta" and "Zeta".
    for (const auto& [clsid, title] :
         {std::pair{L"{1}", L"Zeta"}, std::pair{L"{2}", L"alpha"}, std::pair{L"{3}", L"Beta"}}) {
        PutKey(HKEY_CURRENT_USER, kStatsKey + L"\\" + clsid);
        RegisterClass(clsid, title, L"c:\\x.dll");
    }
    EXPECT_EQ(Names(FillAddonList(AddonKinds{})),
              (std::vector<std::wstring>{L"alpha", L"Beta", L"Zeta"}));
}

TEST_F(IeAddonsTest, TheDownloadHandlerNeedsItsValue) {
    RegisterClass(L"{D1}", L"Downloader", L"C:\\dl\\d1.dll");
    const AddonKinds download{false, false, false, false, true};
    EXPECT_TRUE(FillAddonList(download).empty());
    PutValue(HKEY_CURRENT_USER, kExplorerKey, L"DownloadUI", Text(L""));
    EXPECT_TRUE(FillAddonList(download).empty());
    // A value that names no single class key shows its text, without a class.
    PutValue(HKEY_CURRENT_USER, kExplorerKey, L"DownloadUI", Text(L"\\CLSID\\{D1}"));
    const std::vector<AddonRow> rows = FillAddonList(download);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].name, L"(Unknown)");
    EXPECT_EQ(rows[0].entry, L"\\CLSID\\{D1}");
    EXPECT_EQ(rows[0].path, L"");
}

TEST_F(IeAddonsTest, ValuesReadAsText) {
    const std::wstring key = L"\\Software\\Values";
    std::vector<BYTE> longBinary(300, 0xAB);
    PutValue(HKEY_CURRENT_USER, key, L"", Text(L"default"));
    PutValue(HKEY_CURRENT_USER, key, L"sz", Text(L"C:\\a b\\c.dll"));
    PutValue(HKEY_CURRENT_USER, key, L"expand", RawOf(REG_EXPAND_SZ, Utf16Bytes(L"%windir%\\x")));
    PutValue(HKEY_CURRENT_USER, key, L"nonul", RawOf(REG_SZ, Utf16Bytes(L"abc", false)));
    PutValue(HKEY_CURRENT_USER, key, L"minus", RawOf(REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF}));
    PutValue(HKEY_CURRENT_USER, key, L"sixteen", RawOf(REG_DWORD, {0x10, 0, 0, 0}));
    PutValue(HKEY_CURRENT_USER, key, L"binary", RawOf(REG_BINARY, {0x0A, 0xFF, 0x00}));
    PutValue(HKEY_CURRENT_USER, key, L"empty", RawOf(REG_BINARY, {}));
    PutValue(HKEY_CURRENT_USER, key, L"long", RawOf(REG_BINARY, longBinary));
    PutValue(HKEY_CURRENT_USER, key, L"multi", RawOf(REG_MULTI_SZ, Utf16Bytes(L"a")));
    PutValue(HKEY_CURRENT_USER, key, L"qword", RawOf(REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0}));
    std::wstring longText;
    for (size_t i = 0; i < longBinary.size(); ++i) {
        longText += i == 0 ? L"AB" : L",AB";
    }
    struct Case {
        const wchar_t* key;
        const wchar_t* name;
        std::wstring text;
    };
    const Case cases[] = {
        {key.c_str(), L"", L"default"},
        {key.c_str(), L"sz", L"C:\\a b\\c.dll"},
        {key.c_str(), L"expand", L"%windir%\\x"},
        {key.c_str(), L"nonul", L"abc"},
        {key.c_str(), L"minus", L"-1"},
        {key.c_str(), L"sixteen", L"16"},
        {key.c_str(), L"binary", L"0A,FF,00"},
        {key.c_str(), L"empty", L""},
        {key.c_str(), L"long", longText},
        {key.c_str(), L"multi", L""},
        {key.c_str(), L"qword", L""},
        {key.c_str(), L"missing", L""},
        {L"\\Software\\NoSuchKey", L"", L""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReadValueAsText(HKEY_CURRENT_USER, c.key, c.name), c.text) << ToUtf8(c.name);
    }
    RegisterClass(L"{C}", L"Title", L"C:\\s.dll");
    const ToolbarInfo info = ReadClassInfo(L"{C}", L"InprocServer32");
    EXPECT_EQ(info.classTitle, L"Title");
    EXPECT_EQ(info.serverFile, L"C:\\s.dll");
    EXPECT_EQ(ReadClassInfo(L"{C}", L"INPROCSERVER32").serverFile, L"C:\\s.dll");
    EXPECT_EQ(ReadClassInfo(L"{None}", L"InprocServer32").classTitle, L"");
}

TEST_F(IeAddonsTest, ProtectedRowsAndTheirMessages) {
    struct Case {
        AddonKind kind;
        const wchar_t* name;
        const wchar_t* path;
        const wchar_t* message;  // nullptr: not protected
    };
    const Case cases[] = {
        {AddonKind::ToolbarCurrentUser, L"Address Toolbar", L"", kAddressLinksProtectedMessage},
        {AddonKind::ToolbarCurrentUser, L"Links Toolbar", L"x.dll", kAddressLinksProtectedMessage},
        {AddonKind::ToolbarCurrentUser, L"links Toolbar", L"", nullptr},
        {AddonKind::ToolbarAllUsers, L"Address Toolbar", L"", nullptr},
        {AddonKind::ExplorerBarAllUsers, L"Search", L"C:\\WINDOWS\\System32\\BrowseUI.dll",
         kDefaultExplorerBarsProtectedMessage},
        {AddonKind::ExplorerBarCurrentUser, L"Folders", L"shell32.dll",
         kDefaultExplorerBarsProtectedMessage},
        {AddonKind::ExplorerBarCurrentUser, L"History", L"%SystemRoot%\\system32\\shdocvw.dll",
         kDefaultExplorerBarsProtectedMessage},
        {AddonKind::ExplorerBarCurrentUser, L"Other", L"C:\\x\\myshell32.dll", nullptr},
        {AddonKind::BrowserExtension, L"Search", L"C:\\shdocvw.dll", nullptr},
    };
    for (const Case& c : cases) {
        AddonRow row{c.kind, c.name, AddonKindText(c.kind), L"{X}", c.path, L"{X}", L"id"};
        const std::optional<std::wstring> message = AddonProtectedMessage(row);
        if (c.message == nullptr) {
            EXPECT_FALSE(message.has_value()) << ToUtf8(c.name);
        } else {
            EXPECT_EQ(message, std::wstring(c.message)) << ToUtf8(c.name);
        }
    }
    EXPECT_STREQ(kAddressLinksProtectedMessage, L"Links and Address bar cannot be delete. Sorry");
    EXPECT_STREQ(kDefaultExplorerBarsProtectedMessage,
                 L"The default Explorer bars such as History, Favourite, Search - cannot be "
                 L"deleted");
}

}  // namespace
}  // namespace kestrova
