// The UserAssist records: decoding and typing names, and listing and deleting the values of
// the key in a sandboxed registry.
#include <windows.h>

#include <aclapi.h>
#include <algorithm>
#include <sddl.h>

#include <gtest/gtest.h>

#include "platform/registry.h"
#include "platform/text.h"
#include "support/sandbox_test.h"
#include "tools/user_assist.h"

namespace kestrova {
namespace {

TEST(UserAssistNameTest, DecodingIsRot13OverAsciiLettersAlone) {
    EXPECT_EQ(DecodeUserAssistName(L"HRZR_EHACNGU:P:\\jvaqbjf\\abgrcnq.rkr"),
              L"UEME_RUNPATH:C:\\windows\\notepad.exe");
    EXPECT_EQ(DecodeUserAssistName(L"H"), L"U");
    EXPECT_EQ(DecodeUserAssistName(L"u"), L"h");
    EXPECT_EQ(DecodeUserAssistName(L"AaMmNnZz"), L"NnZzAaMm");
    EXPECT_EQ(DecodeUserAssistName(L"0123456789\\:.{}-_ \u00e9\u00c9\u0416"),
              L"0123456789\\:.{}-_ \u00e9\u00c9\u0416");
    const std::wstring name = L"UEME_RUNPIDL:%csidl2%\\Accessories";
    EXPECT_EQ(DecodeUserAssistName(DecodeUserAssistName(name)), name);
}

TEST(UserAssistNameTest, TypesFollowTheRulesInOrder) {
    struct Case {
        const wchar_t* decoded;
        const wchar_t* type;
        const wchar_t* path;
    };
    for (const Case& c : {
             Case{L"UEME_RUNPATH:C:\\Program Files\\app.exe", L"Executables",
                  L"C:\\Program Files\\app.exe"},
             Case{L"UEME_RUNCPL:C:\\windows\\system32\\desk.cpl", L"Control Panel Applets",
                  L"C:\\windows\\system32\\desk.cpl"},
             Case{L"UEME_CTLSESSION:x", L"Unknown", L"x"},
             Case{L"UEME_CTLCUACount:ctor", L"Unknown", L"ctor"},
             Case{L"UEME_UIQCUT", L"", L"UEME_UIQCUT"},  // no colon: no kind
             Case{L"UEME_UIQCUT:", L"Unknown", L""},
             Case{L"UEME_UIHOTKEY:a", L"Unknown", L"a"},
             Case{L"UEME_RUNWMCMD:a", L"Unknown", L"a"},
             Case{L"UEME_UITOOLBAR:a", L"Unknown", L"a"},
             Case{L"UEME_UISCUT:a", L"UEME_UISCUT", L"a"},  // not listed: the kind stays
             Case{L"UEME_RUNPATH:C:\\Users\\Start Menu\\App.LNK", L"Start Menu",
                  L"C:\\Users\\Start Menu\\App.LNK"},
             Case{L"UEME_RUNPATH:{6D809377-6AF0-444B-8957-A3773F02200E}\\app.exe", L"System",
                  L"{6D809377-6AF0-444B-8957-A3773F02200E}\\app.exe"},
             Case{L"UEME_RUNPIDL:%csidl2%\\Accessories", L"Folder", L"%csidl2%\\Accessories"},
             Case{L"UEME_RUNPIDL:::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", L"System",
                  L"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}"},
             Case{L"UEME_RUNPIDL:{x}\\a.lnk", L"Start Menu", L"{x}\\a.lnk"},
             Case{L"UEME_CTLSESSION:{x}", L"System", L"{x}"},
             Case{L"ueme_runpath:C:\\a.exe", L"ueme_runpath", L"C:\\a.exe"},  // exact case
             Case{L"folder.lnk\\file", L"", L"folder.lnk\\file"},             // not an extension
             Case{L"shortcut.lnk", L"Start Menu", L"shortcut.lnk"},
             Case{L"UEME_RUNPATH:C:\\a.lnk.exe", L"Executables", L"C:\\a.lnk.exe"},
             Case{L"x:y:z", L"x", L"y:z"},
             Case{L"", L"", L""},
         }) {
        const UserAssistItem item = ParseUserAssistName(DecodeUserAssistName(c.decoded));
        EXPECT_EQ(item.itemType, c.type) << ToUtf8(c.decoded);
        EXPECT_EQ(item.itemPath, c.path) << ToUtf8(c.decoded);
    }
}

class UserAssistStoreTest : public test::SandboxTest {
protected:
    void Write(const std::wstring& decoded) {
        Registry registry(HKEY_CURRENT_USER);
        ASSERT_TRUE(registry.OpenKey(kUserAssistKeyPath, true));
        const BYTE counter[8] = {1, 0, 0, 0, 6, 0, 0, 0};
        registry.WriteBinaryData(DecodeUserAssistName(decoded), counter, sizeof(counter));
    }
    std::vector<std::wstring> RawNames() {
        std::vector<std::wstring> names;
        for (const UserAssistRecord& record : ListUserAssistRecords()) {
            names.push_back(record.rawName);
        }
        return names;
    }
};

TEST_F(UserAssistStoreTest, AMissingKeyListsNothingAndDeletesNothing) {
    EXPECT_TRUE(ListUserAssistRecords().empty());
    EXPECT_TRUE(DeleteUserAssistRecords({L"HRZR_EHACNGU:k"}).empty());
    EXPECT_FALSE(Registry(HKEY_CURRENT_USER).KeyExists(kUserAssistKeyPath));
}

TEST_F(UserAssistStoreTest, ListsDecodedRowsAndDeletesByRawName) {
    Write(L"UEME_RUNPATH:C:\\app.exe");
    Write(L"UEME_RUNPIDL:%csidl2%\\Games");
    Write(L"UEME_CTLSESSION");
    const std::vector<UserAssistRecord> records = ListUserAssistRecords();
    ASSERT_EQ(records.size(), 3u);
    std::vector<std::wstring> order;
    Registry reader(HKEY_CURRENT_USER);
    ASSERT_TRUE(reader.OpenKeyReadOnly(kUserAssistKeyPath));
    reader.GetValueNames(order);
    for (size_t i = 0; i < records.size(); ++i) {
        EXPECT_EQ(records[i].rawName, order[i]);  // the registry's own order
        const UserAssistItem item = ParseUserAssistName(records[i].rawName);
        EXPECT_EQ(records[i].fileName, item.itemPath);
        EXPECT_EQ(records[i].type, item.itemType);
    }
    const auto row = std::find_if(records.begin(), records.end(), [](const auto& r) {
        return r.rawName == L"HRZR_EHACNGU:P:\\ncc.rkr";
    });
    ASSERT_NE(row, records.end());
    EXPECT_EQ(row->fileName, L"C:\\app.exe");
    EXPECT_EQ(row->type, L"Executables");

    // Deleting two leaves the third and its data untouched; a name already gone is no failure.
    EXPECT_TRUE(DeleteUserAssistRecords({L"HRZR_EHACNGU:P:\\ncc.rkr",
                                         L"HRZR_EHACVQY:%pfvqy2%\\Tnzrf", L"HRZR_EHACNGU:tbar"})
                    .empty());
    EXPECT_EQ(RawNames(), std::vector<std::wstring>{L"HRZR_PGYFRFFVBA"});
    BYTE data[8] = {};
    EXPECT_EQ(reader.ReadBinaryData(L"HRZR_PGYFRFFVBA", data, sizeof(data)), 8u);
    EXPECT_EQ(data[4], 6);

    EXPECT_TRUE(DeleteUserAssistRecords(RawNames()).empty());
    EXPECT_TRUE(ListUserAssistRecords().empty());
}

TEST_F(UserAssistStoreTest, AValueThatCannotBeDeletedIsReportedAndStays) {
    Write(L"UEME_RUNPATH:C:\\a.exe");
    Write(L"UEME_RUNPATH:C:\\b.exe");
    // Nobody may set or delete values of the key any more.
    const auto setDacl = [](const wchar_t* sddl) {
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1,
                                                                         &descriptor, nullptr));
        Registry registry(HKEY_CURRENT_USER);
        ASSERT_TRUE(registry.OpenKeyReadOnly(kUserAssistKeyPath));
        HKEY key = nullptr;
        ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kUserAssistKeyPath + 1, 0, WRITE_DAC, &key),
                  ERROR_SUCCESS);
        EXPECT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor), ERROR_SUCCESS);
        RegCloseKey(key);
        LocalFree(descriptor);
    };
    setDacl(L"D:(D;;0x2;;;WD)(A;;GA;;;WD)");
    const std::vector<std::wstring> names = RawNames();
    ASSERT_EQ(names.size(), 2u);
    std::vector<std::wstring> failed = DeleteUserAssistRecords(names);
    setDacl(L"D:(A;;GA;;;WD)");
    std::sort(failed.begin(), failed.end());
    std::vector<std::wstring> sortedNames = names;
    std::sort(sortedNames.begin(), sortedNames.end());
    EXPECT_EQ(failed, sortedNames);
    EXPECT_EQ(RawNames().size(), 2u);
}

}  // namespace
}  // namespace kestrova
