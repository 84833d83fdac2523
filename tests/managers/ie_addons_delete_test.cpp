// Removing Internet Explorer add-ons: what is recorded in the restore history and deleted per
// kind, protected rows, and that the Restore History section puts everything back exactly.
#include "managers/ie_addons_delete.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "ie_test_support.h"
#include "platform/text.h"
#include "repair/restore_history.h"
#include "repair/snapshot_records.h"
#include "repair_test_support.h"
#include "support/sandbox_test.h"

namespace kestrova {
namespace {

using test::GetValue;
using test::kBarsAllKey;
using test::kBarsUserKey;
using test::kExplorerKey;
using test::KeyPresent;
using test::kMenuExtKey;
using test::kStatsKey;
using test::kToolbarAllKey;
using test::kToolbarUserKey;
using test::PutKey;
using test::PutValue;
using test::RawOf;
using test::Text;
using test::Utf16Bytes;

// A class key as an add-on installs it: a name, a server with values of several types, a
// subkey with a number and binary data, and a key without values.
void RegisterClass(const std::wstring& clsid, const std::wstring& title,
                   const std::wstring& server) {
    const std::wstring key = L"\\CLSID\\" + clsid;
    PutValue(HKEY_CLASSES_ROOT, key, L"", Text(title));
    PutValue(HKEY_CLASSES_ROOT, key + L"\\InprocServer32", L"", Text(server));
    PutValue(HKEY_CLASSES_ROOT, key + L"\\InprocServer32", L"ThreadingModel", Text(L"Apartment"));
    PutValue(HKEY_CLASSES_ROOT, key + L"\\Settings", L"Count", RawOf(REG_DWORD, {7, 0, 0, 0x80}));
    PutValue(HKEY_CLASSES_ROOT, key + L"\\Settings", L"Blob", RawOf(REG_BINARY, {0, 1, 2, 0xFE}));
    PutValue(HKEY_CLASSES_ROOT, key + L"\\Settings", L"Where",
             RawOf(REG_EXPAND_SZ, Utf16Bytes(L"%ProgramFiles%\\\\x")));
    PutKey(HKEY_CLASSES_ROOT, key + L"\\Implemented Categories\\{00021493}");
}

std::vector<std::wstring> EntryNames(const XmlDocument& document) {
    std::vector<std::wstring> names;
    for (size_t i = 0; i < document.Root().ChildCount(); ++i) {
        names.push_back(document.Root().Child(i).AttributeText(kEntryNameAttribute));
    }
    return names;
}

class IeAddonsDeleteTest : public test::SandboxTest {
protected:
    IeAddonsDeleteTest() {
        history_.Create(kHistoryRootTag);
        save_ = [this] {
            ++saves_;
            if (failSave_) {
                throw XmlError(L"disk full");
            }
            history_.Save(File());
        };
    }

    std::wstring File() const { return temp_ / L"Backup.xml"; }

    // One add-on of every kind that can be deleted, each with its own class.
    void RegisterEveryKind() {
        PutValue(HKEY_LOCAL_MACHINE, kToolbarAllKey, L"{T1}", Text(L""));
        PutValue(HKEY_LOCAL_MACHINE, kToolbarAllKey, L"{Other}", Text(L""));
        RegisterClass(L"{T1}", L"Shop", L"C:\\t1.dll");
        PutValue(HKEY_CURRENT_USER, kToolbarUserKey, L"{T2}", RawOf(REG_BINARY, {1, 2}));
        RegisterClass(L"{T2}", L"Search", L"C:\\t2.dll");
        PutValue(HKEY_CURRENT_USER, kStatsKey + L"\\{B1}\\iexplore", L"Count",
                 RawOf(REG_DWORD, {3, 0, 0, 0}));
        PutValue(HKEY_CURRENT_USER, kStatsKey + L"\\{B1}\\iexplore", L"Time",
                 RawOf(REG_BINARY, {9, 9}));
        RegisterClass(L"{B1}", L"Helper", L"C:\\b1.dll");
        PutKey(HKEY_LOCAL_MACHINE, kBarsAllKey + L"\\{E1}");
        RegisterClass(L"{E1}", L"Research", L"C:\\e1.dll");
        PutValue(HKEY_CURRENT_USER, kBarsUserKey + L"\\{E2}", L"BarSize",
                 RawOf(REG_BINARY, {0x40, 1, 0, 0}));
        RegisterClass(L"{E2}", L"Notes", L"C:\\e2.dll");
        PutValue(HKEY_CURRENT_USER, kMenuExtKey + L"\\&Translate", L"", Text(L"C:\\tr.htm"));
        PutValue(HKEY_CURRENT_USER, kMenuExtKey + L"\\&Translate", L"Contexts",
                 RawOf(REG_DWORD, {1, 0, 0, 0}));
        PutValue(HKEY_CURRENT_USER, kExplorerKey, L"DownloadUI", Text(L"{D1}"));
        PutValue(HKEY_CURRENT_USER, kExplorerKey, L"Other", Text(L"stays"));
        RegisterClass(L"{D1}", L"Downloader", L"C:\\d1.dll");
    }

    XmlDocument history_;
    StoreSaver save_;
    int saves_ = 0;
    bool failSave_ = false;
};

TEST_F(IeAddonsDeleteTest, EveryKindIsRecordedDeletedAndRestoredExactly) {
    RegisterEveryKind();
    const test::RegistryDump before = test::DumpRegistry();
    const std::vector<AddonRow> rows = FillAddonList(AddonKinds{});
    ASSERT_EQ(rows.size(), 8u);  // "{Other}" is listed too, as "(Unknown) Toolbar"
    std::vector<AddonRow> chosen;
    for (const AddonRow& row : rows) {
        if (row.keyName != L"{Other}") {
            chosen.push_back(row);
        }
    }

    const AddonDeleteResult result = DeleteCheckedAddons(history_, save_, chosen);
    EXPECT_FALSE(result.saveError.has_value());
    EXPECT_EQ(saves_, 1);
    ASSERT_EQ(result.outcomes.size(), chosen.size());
    for (size_t i = 0; i < chosen.size(); ++i) {
        // From the last row to the first.
        EXPECT_EQ(result.outcomes[i].row, chosen.size() - 1 - i);
        EXPECT_EQ(result.outcomes[i].status, AddonDeleteStatus::Deleted)
            << ToUtf8(result.outcomes[i].message);
    }
    // The list now holds only the toolbar that was not chosen.
    const std::vector<AddonRow> left = FillAddonList(AddonKinds{});
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].keyName, L"{Other}");
    for (const wchar_t* clsid : {L"{T1}", L"{T2}", L"{B1}", L"{E1}", L"{E2}", L"{D1}"}) {
        EXPECT_FALSE(KeyPresent(HKEY_CLASSES_ROOT, std::wstring(L"\\CLSID\\") + clsid));
    }
    EXPECT_FALSE(KeyPresent(HKEY_CURRENT_USER, kStatsKey + L"\\{B1}"));
    EXPECT_FALSE(KeyPresent(HKEY_CURRENT_USER, kMenuExtKey + L"\\&Translate"));
    EXPECT_FALSE(GetValue(HKEY_CURRENT_USER, kExplorerKey, L"DownloadUI").has_value());
    EXPECT_TRUE(GetValue(HKEY_CURRENT_USER, kExplorerKey, L"Other").has_value());

    // One entry per add-on in reverse list order, labelled with its row, saved to the file.
    XmlDocument saved;
    saved.Load(File());
    ASSERT_EQ(saved.Root().ChildCount(), chosen.size());
    for (size_t i = 0; i < chosen.size(); ++i) {
        const XmlElement entry = saved.Root().Child(i);
        const AddonRow& row = chosen[chosen.size() - 1 - i];
        EXPECT_EQ(entry.AttributeText(kEntryNameAttribute), row.name);
        EXPECT_EQ(entry.AttributeText(kEntryTypeAttribute), row.type);
        EXPECT_EQ(entry.AttributeText(kEntryPathAttribute), row.path);
        EXPECT_GT(entry.ChildCount(), 0u) << ToUtf8(row.name);
    }

    // The Restore History section, on the saved file, puts every add-on back as it was.
    RestoreHistory restore(saved, SaveDocumentTo(saved, File()));
    ASSERT_EQ(restore.Entries().size(), chosen.size());
    const RestoreResult restored = restore.RestoreAll();
    EXPECT_TRUE(restored.failures.empty());
    EXPECT_EQ(restored.restored, chosen.size());
    EXPECT_EQ(saved.Root().ChildCount(), 0u);
    EXPECT_EQ(test::DescribeDifferences(before, test::DumpRegistry()), "");
    EXPECT_EQ(FillAddonList(AddonKinds{}), rows);
}

TEST_F(IeAddonsDeleteTest, ProtectedRowsKeepTheirAddOnAndLeaveAnEmptyEntry) {
    PutValue(HKEY_CURRENT_USER, kToolbarUserKey, L"{A}", RawOf(REG_BINARY, {}));
    RegisterClass(L"{A}", L"&Address", L"C:\\browseui.dll");
    PutKey(HKEY_CURRENT_USER, kBarsUserKey + L"\\{H}");
    RegisterClass(L"{H}", L"&History", L"%SystemRoot%\\System32\\shdocvw.dll");
    PutKey(HKEY_CURRENT_USER, kStatsKey + L"\\{B}");
    RegisterClass(L"{B}", L"Zapper", L"C:\\b.dll");
    const std::vector<AddonRow> rows = FillAddonList(AddonKinds{});
    ASSERT_EQ(rows.size(), 3u);
    ASSERT_EQ(rows[0].name, L"Address Toolbar");
    ASSERT_EQ(rows[1].name, L"History");

    const AddonDeleteResult result = DeleteCheckedAddons(history_, save_, rows);
    ASSERT_EQ(result.outcomes.size(), 3u);
    EXPECT_EQ(result.outcomes[0].status, AddonDeleteStatus::Deleted);
    EXPECT_EQ(result.outcomes[1].status, AddonDeleteStatus::Protected);
    EXPECT_EQ(result.outcomes[1].message, kDefaultExplorerBarsProtectedMessage);
    EXPECT_EQ(result.outcomes[2].status, AddonDeleteStatus::Protected);
    EXPECT_EQ(result.outcomes[2].message, kAddressLinksProtectedMessage);

    EXPECT_EQ(EntryNames(history_),
              (std::vector<std::wstring>{L"Zapper", L"History", L"Address Toolbar"}));
    EXPECT_EQ(history_.Root().Child(1).ChildCount(), 0u);
    EXPECT_EQ(history_.Root().Child(2).ChildCount(), 0u);
    EXPECT_EQ(FillAddonList(AddonKinds{}), std::vector<AddonRow>(rows.begin(), rows.begin() + 2));
    EXPECT_TRUE(KeyPresent(HKEY_CLASSES_ROOT, L"\\CLSID\\{A}"));
    EXPECT_TRUE(KeyPresent(HKEY_CLASSES_ROOT, L"\\CLSID\\{H}"));

    // Restoring an empty entry writes nothing and takes it out of the history.
    const test::RegistryDump before = test::DumpRegistry();
    RestoreHistory restore(history_, save_);
    EXPECT_EQ(restore.Restore({2}).restored, 1u);
    EXPECT_EQ(EntryNames(history_), (std::vector<std::wstring>{L"Zapper", L"History"}));
    EXPECT_EQ(test::DescribeDifferences(before, test::DumpRegistry()), "");
}

// The row shows a menu extension's name without its "&": deleting it must still take exactly
// its own key, not a key of that shown name.
TEST_F(IeAddonsDeleteTest, AMenuExtensionDeletesExactlyItsOwnKey) {
    PutValue(HKEY_CURRENT_USER, kMenuExtKey + L"\\&Open", L"", Text(L"C:\\amp.htm"));
    PutValue(HKEY_CURRENT_USER, kMenuExtKey + L"\\Open", L"", Text(L"C:\\plain.htm"));
    const AddonKinds menus{false, false, false, true, false};
    const std::vector<AddonRow> rows = FillAddonList(menus);
    ASSERT_EQ(rows.size(), 2u);
    const AddonRow& amp = rows[0].keyName == L"&Open" ? rows[0] : rows[1];
    EXPECT_EQ(amp.name, L"Open");

    const AddonDeleteResult result = DeleteCheckedAddons(history_, save_, {amp});
    ASSERT_EQ(result.outcomes.size(), 1u);
    EXPECT_EQ(result.outcomes[0].status, AddonDeleteStatus::Deleted);
    EXPECT_FALSE(KeyPresent(HKEY_CURRENT_USER, kMenuExtKey + L"\\&Open"));
    ASSERT_TRUE(KeyPresent(HKEY_CURRENT_USER, kMenuExtKey + L"\\Open"));
    const XmlElement entry = history_.Root().Child(0);
    ASSERT_EQ(entry.ChildCount(), 1u);
    EXPECT_EQ(entry.Child(0).AttributeText(kRecordSubKeyAttribute),
              L"HKEY_CURRENT_USER" + kMenuExtKey + L"\\&Open");
}

// The download handler's CLSID is whatever text the DownloadUI value holds. A text beginning
// with "\" would name a key from the root of HKEY_CLASSES_ROOT: deleting "the class" would
// then remove an unrelated tree that was never recorded.
TEST_F(IeAddonsDeleteTest, ADownloadHandlerTextThatIsNoClassNameDeletesOnlyTheValue) {
    PutValue(HKEY_CLASSES_ROOT, L"\\Victim\\Deep", L"keep", Text(L"me"));
    PutValue(HKEY_CLASSES_ROOT, L"\\CLSID\\{Real}", L"", Text(L"Real class"));
    for (const wchar_t* text : {L"\\Victim", L"{Real}\\..\\..\\Victim", L"\\\\Victim"}) {
        PutValue(HKEY_CURRENT_USER, kExplorerKey, L"DownloadUI", Text(text));
        const std::vector<AddonRow> rows = FillAddonList({false, false, false, false, true});
        ASSERT_EQ(rows.size(), 1u) << ToUtf8(text);
        const AddonDeleteResult result = DeleteCheckedAddons(history_, save_, rows);
        ASSERT_EQ(result.outcomes.size(), 1u);
        EXPECT_EQ(result.outcomes[0].status, AddonDeleteStatus::Deleted) << ToUtf8(text);
        EXPECT_FALSE(GetValue(HKEY_CURRENT_USER, kExplorerKey, L"DownloadUI").has_value());
        EXPECT_TRUE(GetValue(HKEY_CLASSES_ROOT, L"\\Victim\\Deep", L"keep").has_value())
            << ToUtf8(text);
        EXPECT_TRUE(KeyPresent(HKEY_CLASSES_ROOT, L"\\CLSID\\{Real}")) << ToUtf8(text);
    }
    EXPECT_TRUE(DeleteClsidKey(L"\\Victim"));
    EXPECT_TRUE(KeyPresent(HKEY_CLASSES_ROOT, L"\\Victim"));
    EXPECT_TRUE(DeleteClsidKey(L"{Real}"));
    EXPECT_FALSE(KeyPresent(HKEY_CLASSES_ROOT, L"\\CLSID\\{Real}"));
}

TEST_F(IeAddonsDeleteTest, NothingIsDeletedWhenTheHistoryCannotBeSaved) {
    RegisterEveryKind();
    const test::RegistryDump before = test::DumpRegistry();
    const std::vector<AddonRow> rows = FillAddonList(AddonKinds{});
    failSave_ = true;
    const AddonDeleteResult result = DeleteCheckedAddons(history_, save_, rows);
    EXPECT_EQ(result.saveError, std::wstring(L"disk full"));
    EXPECT_EQ(history_.Root().ChildCount(), 0u);
    ASSERT_EQ(result.outcomes.size(), rows.size());
    for (const AddonDeleteOutcome& outcome : result.outcomes) {
        EXPECT_EQ(outcome.status, AddonDeleteStatus::NotSaved);
    }
    EXPECT_EQ(test::DescribeDifferences(before, test::DumpRegistry()), "");
}

TEST_F(IeAddonsDeleteTest, WhatCannotBeRecordedExactlyIsNotDeleted) {
    PutKey(HKEY_CURRENT_USER, kStatsKey + L"\\{B}");
    RegisterClass(L"{B}", L"Helper", L"C:\\b.dll");
    // A value name that the history file cannot carry.
    PutValue(HKEY_CLASSES_ROOT, L"\\CLSID\\{B}\\Settings", std::wstring(L"bad\x01name"),
             Text(L"x"));
    const test::RegistryDump before = test::DumpRegistry();
    const std::vector<AddonRow> rows = FillAddonList(AddonKinds{});
    ASSERT_EQ(rows.size(), 1u);
    const AddonDeleteResult result = DeleteCheckedAddons(history_, save_, rows);
    ASSERT_EQ(result.outcomes.size(), 1u);
    EXPECT_EQ(result.outcomes[0].status, AddonDeleteStatus::NotRecorded);
    EXPECT_EQ(history_.Root().ChildCount(), 0u);
    EXPECT_EQ(saves_, 0);
    EXPECT_EQ(test::DescribeDifferences(before, test::DumpRegistry()), "");
}

TEST_F(IeAddonsDeleteTest, AToolbarOfBothUsersSharesItsClass) {
    PutValue(HKEY_LOCAL_MACHINE, kToolbarAllKey, L"{S}", Text(L""));
    PutValue(HKEY_CURRENT_USER, kToolbarUserKey, L"{S}", Text(L""));
    RegisterClass(L"{S}", L"Shared", L"C:\\s.dll");
    const std::vector<AddonRow> rows = FillAddonList(AddonKinds{});
    ASSERT_EQ(rows.size(), 2u);
    const AddonRow& user = rows[0].kind == AddonKind::ToolbarCurrentUser ? rows[0] : rows[1];
    ASSERT_EQ(DeleteCheckedAddons(history_, save_, {user}).outcomes[0].status,
              AddonDeleteStatus::Deleted);
    const std::vector<AddonRow> left = FillAddonList(AddonKinds{});
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].kind, AddonKind::ToolbarAllUsers);
    EXPECT_EQ(left[0].name, L"(Unknown) Toolbar");
    EXPECT_EQ(left[0].path, L"");
}

TEST_F(IeAddonsDeleteTest, NoRowsRecordAndSaveNothing) {
    const AddonDeleteResult result = DeleteCheckedAddons(history_, save_, {});
    EXPECT_TRUE(result.outcomes.empty());
    EXPECT_EQ(history_.Root().ChildCount(), 0u);
    EXPECT_EQ(saves_, 0);
}

}  // namespace
}  // namespace kestrova
