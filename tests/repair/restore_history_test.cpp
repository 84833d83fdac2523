// The restore history: the entries' labels, restoring chosen entries, clearing.
#include "repair/restore_history.h"

#include "platform/text.h"
#include "repair/snapshot_records.h"
#include "repair_test_support.h"
#include "support/sandbox_test.h"

namespace kestrova {
namespace {

using test::GetValue;
using test::KeyPresent;
using test::PutValue;
using test::RawOf;
using test::Utf16Bytes;

class RestoreHistoryTest : public test::SandboxTest {
protected:
    RestoreHistoryTest() {
        document_.Create(kHistoryRootTag);
        saver_ = [this] {
            ++saves_;
            if (failSave_) {
                throw XmlError(L"disk full");
            }
            document_.Save(File());
        };
    }

    std::wstring File() const { return temp_ / L"Backup.xml"; }

    // A history entry holding value `name` = text under HKEY_CURRENT_USER\Software\<key>, as a
    // fix leaves it: recorded, then deleted.
    void AddValueEntry(const std::wstring& label, const std::wstring& key, const std::wstring& name,
                       const std::wstring& text) {
        const std::wstring path = L"\\Software\\" + key;
        PutValue(HKEY_CURRENT_USER, path, name, RawOf(REG_SZ, Utf16Bytes(text)));
        XmlElement entry = AppendHistoryEntry(document_.Root(), label, L"HKEY_CURRENT_USER" + path,
                                              L"c:\\" + label);
        ASSERT_TRUE(RecordRegistryEntry(entry, HKEY_CURRENT_USER, path, name));
        ASSERT_TRUE(Registry(HKEY_CURRENT_USER).DeleteKey(path));
    }

    std::vector<std::wstring> Captions() const {
        std::vector<std::wstring> captions;
        for (const HistoryEntryLabels& entry : history_.Entries()) {
            captions.push_back(entry.name);
        }
        return captions;
    }

    // The entries' NAME labels in the document and, when saved, in the file.
    static std::vector<std::wstring> Names(const XmlDocument& document) {
        std::vector<std::wstring> names;
        for (size_t i = 0; i < document.Root().ChildCount(); ++i) {
            names.push_back(document.Root().Child(i).AttributeText(L"NAME"));
        }
        return names;
    }
    std::vector<std::wstring> NamesInFile() const {
        XmlDocument loaded;
        loaded.Load(File());
        return Names(loaded);
    }

    XmlDocument document_;
    StoreSaver saver_;
    int saves_ = 0;
    bool failSave_ = false;
    RestoreHistory history_{document_, [this] { saver_(); }};
};

TEST_F(RestoreHistoryTest, RestoresTheCheckedEntriesAndKeepsTheRest) {
    AddValueEntry(L"E0", L"K0", L"v", L"zero");
    AddValueEntry(L"E1", L"K1", L"v", L"one");
    AddValueEntry(L"E2", L"K2", L"v", L"two");
    AddValueEntry(L"E3", L"K3", L"", L"three");
    ASSERT_EQ(Captions(), (std::vector<std::wstring>{L"E0", L"E1", L"E2", L"E3"}));
    EXPECT_EQ(history_.Entries()[1].type, L"HKEY_CURRENT_USER\\Software\\K1");
    EXPECT_EQ(history_.Entries()[1].path, L"c:\\E1");

    const RestoreResult result = history_.Restore({3, 1, 7});

    EXPECT_EQ(result.restored, 2u);
    EXPECT_TRUE(result.failures.empty());
    EXPECT_FALSE(result.saveError);
    EXPECT_EQ(GetValue(HKEY_CURRENT_USER, L"\\Software\\K1", L"v")->data, Utf16Bytes(L"one"));
    EXPECT_EQ(GetValue(HKEY_CURRENT_USER, L"\\Software\\K3", L"")->data, Utf16Bytes(L"three"));
    EXPECT_FALSE(KeyPresent(HKEY_CURRENT_USER, L"\\Software\\K0"));
    EXPECT_FALSE(KeyPresent(HKEY_CURRENT_USER, L"\\Software\\K2"));
    // Restored entries are gone from the list, the document and the file.
    EXPECT_EQ(Captions(), (std::vector<std::wstring>{L"E0", L"E2"}));
    EXPECT_EQ(Names(document_), (std::vector<std::wstring>{L"E0", L"E2"}));
    EXPECT_EQ(NamesInFile(), (std::vector<std::wstring>{L"E0", L"E2"}));
    EXPECT_EQ(saves_, 1);
}

TEST_F(RestoreHistoryTest, AFailingEntryStaysWhileTheOthersAreRestored) {
    AddValueEntry(L"E0", L"K0", L"v", L"zero");
    XmlElement broken = AppendHistoryEntry(document_.Root(), L"Broken", L"k", L"p");
    const auto record = [&](const std::wstring& name, const std::wstring& value) {
        XmlElement item = broken.AppendChild(L"ITEM");
        item.SetAttribute(L"SUBKEY", L"HKEY_CURRENT_USER\\Software\\Broken");
        item.SetAttribute(L"NAME", name);
        item.SetAttribute(L"TYPE", L"rdBinary");
        item.SetAttribute(L"VALUE", value);
    };
    record(L"before", L"01,02");
    record(L"bad", L"01,XY");
    record(L"after", L"03");
    AddValueEntry(L"E2", L"K2", L"v", L"two");
    const RestoreResult result = history_.RestoreAll();

    EXPECT_EQ(result.restored, 2u);
    ASSERT_EQ(result.failures.size(), 1u);
    EXPECT_EQ(result.failures[0].name, L"Broken");
    EXPECT_NE(result.failures[0].message.find(L"XY"), std::wstring::npos);
    EXPECT_TRUE(GetValue(HKEY_CURRENT_USER, L"\\Software\\K0", L"v"));
    EXPECT_TRUE(GetValue(HKEY_CURRENT_USER, L"\\Software\\K2", L"v"));
    // The failing entry's records stop at the bad one; it stays, and the list shows only it.
    EXPECT_TRUE(GetValue(HKEY_CURRENT_USER, L"\\Software\\Broken", L"before"));
    EXPECT_FALSE(GetValue(HKEY_CURRENT_USER, L"\\Software\\Broken", L"after"));
    EXPECT_EQ(Captions(), std::vector<std::wstring>{L"Broken"});
    EXPECT_EQ(NamesInFile(), std::vector<std::wstring>{L"Broken"});
    EXPECT_EQ(document_.Root().Child(0).ChildCount(), 3u);
}

TEST_F(RestoreHistoryTest, ManyFailuresMakeOneSummary) {
    AddValueEntry(L"Good", L"K0", L"v", L"zero");
    for (int i = 0; i < 25; ++i) {
        XmlElement broken = AppendHistoryEntry(document_.Root(), L"Broken" + std::to_wstring(i),
                                               L"k" + std::to_wstring(i), L"p");
        XmlElement item = broken.AppendChild(L"ITEM");
        item.SetAttribute(L"SUBKEY", L"HKEY_CURRENT_USER\\Software\\Broken");
        item.SetAttribute(L"NAME", L"v");
        item.SetAttribute(L"TYPE", L"rdBinary");
        item.SetAttribute(L"VALUE", L"ZZ");
    }
    const RestoreResult result = history_.RestoreAll();
    const std::wstring text = RestoreSummaryText(result);

    ASSERT_EQ(result.failures.size(), 25u);
    EXPECT_EQ(text.find(L"1 entries were restored."), 0u) << ToUtf8(text);
    EXPECT_NE(text.find(L"25 entries could not be restored"), std::wstring::npos);
    EXPECT_NE(text.find(L"- Broken24 (k24): 'ZZ' is not a hexadecimal byte"), std::wstring::npos);
    EXPECT_NE(text.find(L"- Broken5 (k5)"), std::wstring::npos);
    EXPECT_EQ(text.find(L"- Broken4 (k4)"), std::wstring::npos);  // past the first 20
    EXPECT_NE(text.find(L"... and 5 more."), std::wstring::npos);
    EXPECT_EQ(RestoreSummaryText(RestoreResult{3, {}, std::nullopt}), L"");
}

TEST_F(RestoreHistoryTest, RestoreWithNothingCheckedChangesNothing) {
    AddValueEntry(L"E0", L"K0", L"v", L"zero");
    const RestoreResult result = history_.Restore({});

    EXPECT_EQ(result.restored, 0u);
    EXPECT_EQ(saves_, 0);
    EXPECT_EQ(Captions(), std::vector<std::wstring>{L"E0"});
    EXPECT_FALSE(KeyPresent(HKEY_CURRENT_USER, L"\\Software\\K0"));
}

TEST_F(RestoreHistoryTest, RestoreReplacesValuesAndDropsEntriesWithoutRecords) {
    AddValueEntry(L"E0", L"K0", L"v", L"recorded");
    PutValue(HKEY_CURRENT_USER, L"\\Software\\K0", L"v", RawOf(REG_DWORD, {9, 0, 0, 0}));
    AppendHistoryEntry(document_.Root(), L"Empty", L"k", L"p");
    const RestoreResult result = history_.RestoreAll();

    EXPECT_EQ(result.restored, 2u);
    const auto value = GetValue(HKEY_CURRENT_USER, L"\\Software\\K0", L"v");
    EXPECT_EQ(value->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(value->data, Utf16Bytes(L"recorded"));
    EXPECT_TRUE(Captions().empty());
    EXPECT_TRUE(NamesInFile().empty());
}

TEST_F(RestoreHistoryTest, AFileWithoutTypeNumbersRestoresAsBefore) {
    // Written by hand as earlier versions wrote it: four attributes, bare keys by SUBKEY.
    test::WriteFileBytes(
        File(),
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
        "<Kestrova>\r\n"
        "  <ELEMENT NAME=\"Help File\" TYPE=\"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows"
        "\\Help\\a.hlp\" PATH=\"c:\\help\\a.hlp\">\r\n"
        "    <ITEM SUBKEY=\"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\Help\" "
        "NAME=\"a.hlp\" "
        "TYPE=\"rdString\" VALUE=\"C:\\\\Help\\\\Old\"/>\r\n"
        "  </ELEMENT>\r\n"
        "  <ELEMENT NAME=\"COM/ActiveX\" TYPE=\"k\" PATH=\"p\">\r\n"
        "    <ITEM SUBKEY=\"HKEY_CURRENT_USER\\Software\\Old\" NAME=\"Count\" TYPE=\"rdInteger\" "
        "VALUE=\"0000FFFF\"/>\r\n"
        "    <ITEM SUBKEY=\"HKEY_CURRENT_USER\\Software\\Old\" NAME=\"Blob\" TYPE=\"rdBinary\" "
        "VALUE=\"00,01,02,03,04,05,06,07,08,09,0A,0B,0C,0D,0E,0F,10,11,12,13,14,15,16,17,18,"
        "19,\\1A,1B\"/>\r\n"
        "    <ITEM SUBKEY=\"HKEY_CURRENT_USER\\Software\\Old\" NAME=\"Nothing\" TYPE=\"rdBinary\" "
        "VALUE=\"\"/>\r\n"
        "    <ITEM SUBKEY=\"HKEY_CURRENT_USER\\Software\\Old\\Bare\\Key\"/>\r\n"
        "    <ITEM SUBKEY=\"HKEY_SOMEWHERE\\Software\\Unknown\" NAME=\"\" TYPE=\"rdString\" "
        "VALUE=\"under classes\"/>\r\n"
        "  </ELEMENT>\r\n"
        "</Kestrova>\r\n");
    document_.Load(File());
    // The value exists again, as another type: the recorded text replaces it as REG_SZ.
    PutValue(HKEY_LOCAL_MACHINE, L"\\SOFTWARE\\Microsoft\\Windows\\Help", L"a.hlp",
             RawOf(REG_EXPAND_SZ, Utf16Bytes(L"other")));
    ASSERT_EQ(Captions(), (std::vector<std::wstring>{L"Help File", L"COM/ActiveX"}));

    const RestoreResult result = history_.RestoreAll();

    EXPECT_EQ(result.restored, 2u);
    const auto help =
        GetValue(HKEY_LOCAL_MACHINE, L"\\SOFTWARE\\Microsoft\\Windows\\Help", L"a.hlp");
    EXPECT_EQ(help->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(help->data, Utf16Bytes(L"C:\\Help\\Old"));
    const auto count = GetValue(HKEY_CURRENT_USER, L"\\Software\\Old", L"Count");
    EXPECT_EQ(count->type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(count->data, (std::vector<BYTE>{0xFF, 0xFF, 0, 0}));
    const auto blob = GetValue(HKEY_CURRENT_USER, L"\\Software\\Old", L"Blob");
    EXPECT_EQ(blob->type, static_cast<DWORD>(REG_BINARY));
    ASSERT_EQ(blob->data.size(), 28u);
    EXPECT_EQ(blob->data[27], 0x1B);
    const auto nothing = GetValue(HKEY_CURRENT_USER, L"\\Software\\Old", L"Nothing");
    EXPECT_EQ(nothing->type, static_cast<DWORD>(REG_BINARY));
    EXPECT_TRUE(nothing->data.empty());
    EXPECT_TRUE(KeyPresent(HKEY_CURRENT_USER, L"\\Software\\Old\\Bare\\Key"));
    EXPECT_EQ(GetValue(HKEY_CLASSES_ROOT, L"\\Software\\Unknown", L"")->data,
              Utf16Bytes(L"under classes"));
    EXPECT_TRUE(NamesInFile().empty());
}

TEST_F(RestoreHistoryTest, ClearEmptiesTheListTheHistoryAndTheFile) {
    AddValueEntry(L"E0", L"K0", L"v", L"zero");
    AddValueEntry(L"E1", L"K1", L"v", L"one");

    EXPECT_FALSE(history_.Clear());

    EXPECT_TRUE(Captions().empty());
    EXPECT_EQ(document_.Root().ChildCount(), 0u);
    XmlDocument loaded;
    loaded.Load(File());
    EXPECT_EQ(loaded.Root().Tag(), L"Kestrova");
    EXPECT_EQ(loaded.Root().ChildCount(), 0u);
    EXPECT_FALSE(history_.Clear());
    EXPECT_EQ(saves_, 1);  // nothing left to change the second time
}

TEST_F(RestoreHistoryTest, ASaveThatFailsIsReportedAndTheListShowsWhatIsLeft) {
    AddValueEntry(L"E0", L"K0", L"v", L"zero");
    AddValueEntry(L"E1", L"K1", L"v", L"one");
    failSave_ = true;

    const RestoreResult result = history_.Restore({0});

    EXPECT_EQ(result.saveError, std::optional<std::wstring>(L"disk full"));
    EXPECT_EQ(Captions(), std::vector<std::wstring>{L"E1"});
    EXPECT_EQ(history_.Clear(), std::optional<std::wstring>(L"disk full"));
    EXPECT_EQ(document_.Root().ChildCount(), 0u);
}

}  // namespace
}  // namespace kestrova
