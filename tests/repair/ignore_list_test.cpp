// The ignore list's entries, ignore.xml after each change, and the scan's matching rule over
// the entries they make.
#include "repair/ignore_list.h"

#include "scan/ignore_match.h"
#include "support/sandbox_test.h"

namespace kestrova {
namespace {

const std::wstring kSharedDllsRow =
    L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls\\C:\\Program "
    L"Files\\App\\lib.dll";

class IgnoreListTest : public ::testing::Test {
protected:
    IgnoreListTest() { document_.Create(kIgnoreRootTag); }

    std::wstring File() const { return temp_ / L"ignore.xml"; }

    // The entries of the saved file as ROOT|KEY|VALUE.
    std::vector<std::wstring> EntriesInFile() const {
        XmlDocument loaded;
        loaded.Load(File());
        EXPECT_EQ(loaded.Root().Tag(), L"IgnoreList");
        std::vector<std::wstring> entries;
        for (size_t i = 0; i < loaded.Root().ChildCount(); ++i) {
            const XmlElement entry = loaded.Root().Child(i);
            EXPECT_EQ(entry.Tag(), L"ERROR");
            entries.push_back(entry.AttributeText(L"ROOT") + L"|" + entry.AttributeText(L"KEY") +
                              L"|" + entry.AttributeText(L"VALUE"));
        }
        return entries;
    }

    std::vector<std::wstring> Rows() const {
        std::vector<std::wstring> rows;
        for (const IgnoreEntry& entry : list_.Entries()) {
            rows.push_back(entry.root + L"|" + entry.key + L"|" + entry.value);
        }
        return rows;
    }

    test::TempFolder temp_;
    XmlDocument document_;
    int saves_ = 0;
    bool failSave_ = false;
    IgnoreList list_{document_, [this] {
                         ++saves_;
                         if (failSave_) {
                             throw XmlError(L"cannot write ignore.xml");
                         }
                         document_.Save(File());
                     }};
};

TEST_F(IgnoreListTest, ErrorRowsBecomeEntriesThatTheScanMatches) {
    const std::vector<std::wstring> keyNames = {
        L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\gone.exe",
        kSharedDllsRow,
        L"HKEY_CURRENT_USER\\Software\\A\\v",
    };

    const IgnoreRowsResult result = list_.AddErrorRows(keyNames);

    // Appended from the last row to the first.
    EXPECT_EQ(result.added, (std::vector<size_t>{2, 1, 0}));
    EXPECT_FALSE(result.saveError);
    const std::vector<std::wstring> expected = {
        L"HKEY_CURRENT_USER|Software\\A|v",
        L"HKEY_LOCAL_MACHINE|SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls\\C:\\Program "
        L"Files\\App|lib.dll",
        L"HKEY_LOCAL_MACHINE|SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths|gone.exe",
    };
    EXPECT_EQ(EntriesInFile(), expected);
    EXPECT_EQ(Rows(), expected);
    for (const std::wstring& keyName : keyNames) {
        EXPECT_TRUE(IgnoreListMatches(document_, keyName));
    }
    EXPECT_FALSE(IgnoreListMatches(document_, L"HKEY_CURRENT_USER\\Software\\A\\V"));
    EXPECT_FALSE(IgnoreListMatches(document_, L"HKEY_CURRENT_USER\\Software\\A"));
}

TEST_F(IgnoreListTest, AddTakesTheThreeTextsAsTyped) {
    EXPECT_FALSE(list_.Add(L"HKEY_CURRENT_USER", L"", L"v").added);
    EXPECT_FALSE(list_.Add(L"", L"Software", L"v").added);
    EXPECT_EQ(saves_, 0);

    const IgnoreAddResult added = list_.Add(L"HKLM", L"Software\\A ", L"v");

    EXPECT_TRUE(added.added);
    EXPECT_EQ(EntriesInFile(), std::vector<std::wstring>{L"HKLM|Software\\A |v"});
    EXPECT_EQ(Rows(), std::vector<std::wstring>{L"HKLM|Software\\A |v"});
    // Key Names always start with the long root name: a short one matches nothing.
    EXPECT_FALSE(IgnoreListMatches(document_, L"HKEY_LOCAL_MACHINE\\Software\\A \\v"));
    EXPECT_TRUE(IgnoreListMatches(document_, L"HKLM\\Software\\A \\v"));
    // Text that ignore.xml could not carry would make it unreadable: it is not added.
    EXPECT_FALSE(list_.Add(L"HKEY_CURRENT_USER", L"Software", L"a\x01").added);
    EXPECT_FALSE(list_.AddErrorRows({L"HKEY_CURRENT_USER\\Software\\a\x01"}).notAdded.empty());
    EXPECT_EQ(EntriesInFile().size(), 1u);
}

TEST_F(IgnoreListTest, RemoveDeletesTheCheckedEntries) {
    list_.AddErrorRows({L"HKEY_CURRENT_USER\\Software\\A\\v"});
    list_.AddErrorRows({L"HKEY_CURRENT_USER\\Software\\A\\v"});  // the same error twice
    list_.AddErrorRows({L"HKEY_CURRENT_USER\\Software\\B\\w"});
    ASSERT_EQ(Rows().size(), 3u);

    EXPECT_FALSE(list_.Remove({2, 0, 9}));

    EXPECT_EQ(EntriesInFile(), std::vector<std::wstring>{L"HKEY_CURRENT_USER|Software\\A|v"});
    EXPECT_EQ(Rows(), std::vector<std::wstring>{L"HKEY_CURRENT_USER|Software\\A|v"});
    EXPECT_TRUE(IgnoreListMatches(document_, L"HKEY_CURRENT_USER\\Software\\A\\v"));
    EXPECT_FALSE(IgnoreListMatches(document_, L"HKEY_CURRENT_USER\\Software\\B\\w"));

    list_.Remove({0});
    EXPECT_TRUE(EntriesInFile().empty());
    const int saves = saves_;
    list_.Remove({});  // none chosen: nothing happens
    EXPECT_EQ(saves_, saves);
}

TEST_F(IgnoreListTest, AFailedSaveKeepsTheChangeForTheNextSave) {
    failSave_ = true;
    const IgnoreRowsResult failed = list_.AddErrorRows({L"HKEY_CURRENT_USER\\Software\\A\\v"});
    EXPECT_EQ(failed.saveError, std::optional<std::wstring>(L"cannot write ignore.xml"));
    EXPECT_EQ(failed.added, std::vector<size_t>{0});
    EXPECT_TRUE(IgnoreListMatches(document_, L"HKEY_CURRENT_USER\\Software\\A\\v"));

    failSave_ = false;
    list_.Add(L"HKEY_CURRENT_USER", L"Software\\B", L"w");
    EXPECT_EQ(EntriesInFile(), (std::vector<std::wstring>{L"HKEY_CURRENT_USER|Software\\A|v",
                                                          L"HKEY_CURRENT_USER|Software\\B|w"}));
}

TEST_F(IgnoreListTest, AnEntryWithoutItsAttributesFailsTheRefresh) {
    list_.Add(L"HKEY_CURRENT_USER", L"Software", L"v");
    document_.Root().AppendChild(L"ERROR").SetAttribute(L"ROOT", L"HKEY_CURRENT_USER");
    EXPECT_THROW(list_.Entries(), XmlError);
    EXPECT_THROW(IgnoreListMatches(document_, L"HKEY_CURRENT_USER\\x\\y"), XmlError);
}

}  // namespace
}  // namespace kestrova
