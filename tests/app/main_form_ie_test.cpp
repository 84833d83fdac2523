// The two Internet Explorer sections of the main window: the traces cleaner over folders of a
// temporary tree, and the add-ons manager over a sandboxed registry, each driven as a user
// would, with the files, the registry and the restore history read back after each step.
#include <algorithm>
#include <string>
#include <vector>

#include "main_form_fixture.h"
#include "managers/ie_addons.h"
#include "platform/text.h"
#include "support/read_only_key.h"

namespace kestrova {
namespace {

using namespace test;

void Click(Button& button) {
    button.Click();
    Settle();
}

// ---------------------------------------------------------------------------------------------
// IE Traces Cleaning

const std::wstring kTypedUrls = L"Software\\Microsoft\\Internet Explorer\\TypedURLs";
const std::wstring kAutoComplete =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoComplete";
constexpr wchar_t kFinished[] = L"The cleaning up has been finished.";
// More files than one batch from the worker carries.
constexpr int kCacheFiles = 300;

std::vector<std::wstring> ValueNames(HKEY root, const std::wstring& key) {
    std::vector<std::wstring> names;
    Registry reg(root);
    if (reg.OpenKeyReadOnly(L"\\" + key)) {
        reg.GetValueNames(names);
    }
    return names;
}

// A folder's entries by name: the file system lists them in an order of its own.
Rows SortedEntries(const std::wstring& folder) {
    Rows names = EntryNames(folder);
    std::sort(names.begin(), names.end());
    return names;
}

class MainFormIeTracesTest : public MainFormTest {
protected:
    void SetUp() override {
        // Each folder holds files its search lists and files it must leave alone.
        for (const wchar_t* folder :
             {L"Cache\\", L"Cache\\sub\\", L"Cookies\\", L"Temp\\", L"Temp\\sub\\", L"Favorites\\",
              L"History\\", L"History\\MSHist\\"}) {
            ASSERT_TRUE(CreateDirectoryW((tree_ / folder).c_str(), nullptr));
        }
        for (int i = 0; i < kCacheFiles; ++i) {
            WriteFileBytes(tree_ / (L"Cache\\page" + std::to_wstring(i) + L".htm"), "x");
        }
        for (const wchar_t* file :
             {L"Cache\\desktop.ini", L"Cache\\sub\\b.gif", L"Cookies\\me@site.txt",
              L"Cookies\\notes.dat", L"Temp\\t1.tmp", L"Temp\\t2.log", L"Temp\\sub\\deep.tmp",
              L"Favorites\\f.url", L"Favorites\\G.URL", L"History\\index.dat",
              L"History\\MSHist\\index.dat", L"History\\other.txt"}) {
            WriteFileBytes(tree_ / file, "x");
        }
        folders_.cache = tree_ / L"Cache\\";
        folders_.cookies = tree_ / L"Cookies\\";
        folders_.temp = tree_ / L"Temp\\";
        folders_.favorites = tree_ / L"Favorites\\";
        folders_.history = tree_ / L"History\\";
    }
    void OpenTraces() {
        MarkFirstScanOffered();
        Open();
        Page().UseFolders([this] { return folders_; });
        Press(form_->ToolButtonFor<IeTracesSection>().Handle());
        ASSERT_EQ(&form_->ShownSection(), &Page());
    }
    IeTracesSection& Page() { return form_->Get<IeTracesSection>(); }
    HWND Actions() { return Page().lvIE.Handle(); }
    HWND Files() { return Page().lvDeletedFiles.Handle(); }
    void StartScan() {
        Page().btnTempScan.Click();
        // The search runs on: a second search and a cleanup wait for its end.
        EXPECT_TRUE(Page().SearchRunning());
        EXPECT_FALSE(Page().btnTempScan.Enabled());
        EXPECT_FALSE(Page().btnCleanIE.Enabled());
        ASSERT_TRUE(PumpMessagesUntil([this] { return !Page().SearchRunning(); }));
        Settle();
        EXPECT_TRUE(Page().btnTempScan.Enabled());
        EXPECT_TRUE(Page().btnCleanIE.Enabled());
    }
    // The found rows as "[x] Section | File Name | Full Path", sorted: each search lists in the
    // order the file system gives.
    Rows FoundRows() {
        Rows rows = Shown(Files(), 3);
        std::sort(rows.begin(), rows.end());
        return rows;
    }
    int RowOf(const std::wstring& fileName) {
        for (int row = 0; row < RowCount(Files()); ++row) {
            if (ItemText(Files(), row, 1) == fileName) {
                return row;
            }
        }
        return -1;
    }
    std::wstring Row(const wchar_t* section, const wchar_t* file, const std::wstring& folder) {
        return std::wstring(L"[x] ") + section + L" | " + file + L" | " + tree_ / folder;
    }

    TempFolder tree_;
    IeFolders folders_;
};

TEST_F(MainFormIeTracesTest, ScansChecksCleansCheckedFilesAndRegistry) {
    PutText(HKEY_CURRENT_USER, kTypedUrls, L"url1", L"http://a.example/");
    PutText(HKEY_CURRENT_USER, kTypedUrls, L"url2", L"http://b.example/");
    OpenTraces();
    EXPECT_EQ(Shown(Actions(), 2),
              (Rows{L"[ ] Clear the Internet Explorer Typed Address History | Yes",
                    L"[ ] Reverse Auto Complete Mode | Yes", L"[x] Cache | No", L"[ ] Cookies | No",
                    L"[x] Downloaded files | No", L"[ ] Favorites list | Yes",
                    L"[x] History of visited URLs | Yes"}));
    EXPECT_EQ(ItemText(Actions(), 2, 2), L"Cleanup cache file on your system");

    // Nothing found yet: Check All, Uncheck All and Cleanup touch no file, and the action marks
    // stay as they are.
    Click(Page().btnCheckIE);
    Click(Page().btnUncheckIE);
    EXPECT_EQ(RowCount(Files()), 0);
    Click(Page().btnCleanIE);
    EXPECT_EQ(dialogs_.Texts(ShownDialog::Kind::Information), (Rows{kFinished}));
    EXPECT_EQ(dialogs_.shown.back().caption, L"Information");
    EXPECT_EQ(ValueNames(HKEY_CURRENT_USER, kTypedUrls).size(), 2u);
    EXPECT_TRUE(FileExists(tree_ / L"Temp\\t1.tmp"));
    EXPECT_EQ(Shown(Actions(), 1)[4], L"[x] Downloaded files");

    // Cookies and the typed addresses added; the registry actions find no files.
    ClickCheckBox(Actions(), 3);
    ClickCheckBox(Actions(), 0);
    StartScan();
    Rows expected = {Row(L"Cache files", L"b.gif", L"Cache\\sub\\"),
                     Row(L"Cookie files", L"me@site.txt", L"Cookies\\"),
                     Row(L"History files", L"index.dat", L"History\\"),
                     Row(L"History files", L"index.dat", L"History\\MSHist\\"),
                     Row(L"Temporary files", L"t1.tmp", L"Temp\\"),
                     Row(L"Temporary files", L"t2.log", L"Temp\\")};
    for (int i = 0; i < kCacheFiles; ++i) {
        expected.push_back(
            Row(L"Cache files", (L"page" + std::to_wstring(i) + L".htm").c_str(), L"Cache\\"));
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(FoundRows(), expected);
    // The searches run in the order of the actions.
    const int rows = RowCount(Files());
    ASSERT_EQ(rows, kCacheFiles + 6);
    EXPECT_EQ(ItemText(Files(), 0, 0), L"Cache files");
    EXPECT_EQ(ItemText(Files(), kCacheFiles + 1, 0), L"Cookie files");
    EXPECT_EQ(ItemText(Files(), rows - 1, 0), L"History files");
    EXPECT_EQ(Page().lblDeleting.Text(),
              ItemText(Files(), rows - 1, 2) + ItemText(Files(), rows - 1, 1))
        << "the label keeps the last file listed";

    Click(Page().btnUncheckIE);
    EXPECT_EQ(Page().deletedFiles.CheckedCount(), 0u);
    Click(Page().btnCheckIE);
    EXPECT_EQ(Page().deletedFiles.CheckedCount(), static_cast<size_t>(rows));
    EXPECT_EQ(Shown(Actions(), 1)[5], L"[ ] Favorites list") << "the actions are left alone";

    // Cleanup deletes the checked rows' files only, clears the typed addresses (the key
    // stays) and empties the list.
    ClickCheckBox(Files(), RowOf(L"t1.tmp"));
    ClickCheckBox(Files(), RowOf(L"page7.htm"));
    Click(Page().btnCleanIE);
    EXPECT_EQ(dialogs_.Texts(ShownDialog::Kind::Information), (Rows{kFinished, kFinished}));
    EXPECT_EQ(RowCount(Files()), 0);
    EXPECT_TRUE(ValueNames(HKEY_CURRENT_USER, kTypedUrls).empty());
    EXPECT_TRUE(KeyIn(HKEY_CURRENT_USER, kTypedUrls));
    EXPECT_FALSE(KeyIn(HKEY_CURRENT_USER, kAutoComplete));
    EXPECT_EQ(SortedEntries(tree_ / L"Cache\\"), (Rows{L"desktop.ini", L"page7.htm", L"sub"}));
    EXPECT_TRUE(EntryNames(tree_ / L"Cache\\sub\\").empty());
    EXPECT_EQ(EntryNames(tree_ / L"Cookies\\"), (Rows{L"notes.dat"}));
    EXPECT_EQ(SortedEntries(tree_ / L"Temp\\"), (Rows{L"sub", L"t1.tmp"}));
    EXPECT_TRUE(FileExists(tree_ / L"Temp\\sub\\deep.tmp"));
    EXPECT_EQ(SortedEntries(tree_ / L"History\\"), (Rows{L"MSHist", L"other.txt"}));
    EXPECT_TRUE(EntryNames(tree_ / L"History\\MSHist\\").empty());
    EXPECT_EQ(EntryNames(tree_ / L"Favorites\\").size(), 2u);

    // Favorites only, with the auto-complete mode: capitals in ".URL" are not a favourite.
    // Cleanup after a search starts from the current marks.
    for (int row : {0, 2, 3, 4, 6}) {
        ClickCheckBox(Actions(), row);
    }
    ClickCheckBox(Actions(), 1);
    ClickCheckBox(Actions(), 5);
    StartScan();
    EXPECT_EQ(FoundRows(), (Rows{Row(L"Favorite files", L"f.url", L"Favorites\\")}));
    Click(Page().btnCleanIE);
    EXPECT_EQ(EntryNames(tree_ / L"Favorites\\"), (Rows{L"G.URL"}));
    Registry reg(HKEY_CURRENT_USER);
    ASSERT_TRUE(reg.OpenKeyReadOnly(L"\\" + kAutoComplete));
    EXPECT_EQ(reg.ReadString(L"Append Completion"), L"Yes");
    EXPECT_TRUE(Errors().empty());

    // A search without a folder is not run, and the user hears which one.
    folders_.favorites.clear();
    StartScan();
    EXPECT_EQ(RowCount(Files()), 0);
    EXPECT_EQ(Errors(), (Rows{L"These searches were not run:\n\nFavorite files: the "
                              L"\"Favorites\" shell folder is not set to a folder"}));
    EXPECT_EQ(dialogs_.Count(ShownDialog::Kind::Information), 3u);

    // Typed addresses that cannot be deleted are told before the closing message.
    PutText(HKEY_CURRENT_USER, kTypedUrls, L"url3", L"http://c.example/");
    ClickCheckBox(Actions(), 0);
    {
        ReadOnlyKey readOnly(HKEY_CURRENT_USER, kTypedUrls);
        Click(Page().btnCleanIE);
    }
    ASSERT_EQ(Errors().size(), 2u);
    EXPECT_EQ(Errors().back(),
              L"Not done:\n\nClear the Internet Explorer Typed Address History: "
              L"The typed address history cannot be opened for deleting");
    EXPECT_EQ(dialogs_.shown.back().text, kFinished);
    EXPECT_EQ(ValueNames(HKEY_CURRENT_USER, kTypedUrls), (Rows{L"url3"}));
}

// ---------------------------------------------------------------------------------------------
// IE Plugins

const std::wstring kToolbarAll = L"SOFTWARE\\Microsoft\\Internet Explorer\\Toolbar";
const std::wstring kToolbarUser = L"Software\\Microsoft\\Internet Explorer\\Toolbar\\WebBrowser";
const std::wstring kStats = L"Software\\Microsoft\\Windows\\CurrentVersion\\Ext\\Stats";
const std::wstring kBarsAll = L"SOFTWARE\\Microsoft\\Internet Explorer\\Explorer Bars";
const std::wstring kBarsUser = L"Software\\Microsoft\\Internet Explorer\\Explorer Bars";
const std::wstring kMenuExt = L"Software\\Microsoft\\Internet Explorer\\MenuExt";
const std::wstring kExplorer = L"Software\\Microsoft\\Internet Explorer";

void RegisterClass(const std::wstring& clsid, const std::wstring& title,
                   const std::wstring& server) {
    PutText(HKEY_CLASSES_ROOT, L"CLSID\\" + clsid, L"", title);
    PutText(HKEY_CLASSES_ROOT, L"CLSID\\" + clsid + L"\\InprocServer32", L"", server);
}

bool ClassIn(const std::wstring& clsid) {
    return KeyIn(HKEY_CLASSES_ROOT, L"CLSID\\" + clsid);
}

class MainFormIePluginsTest : public MainFormTest {
protected:
    void SetUp() override {
        PutText(HKEY_LOCAL_MACHINE, kToolbarAll, L"{T1}", L"");
        RegisterClass(L"{T1}", L"Shop", L"C:\\t1.dll");
        PutText(HKEY_CURRENT_USER, kToolbarUser, L"{T2}", L"");
        RegisterClass(L"{T2}", L"&Address", L"C:\\windows\\system32\\browseui.dll");
        PutText(HKEY_CURRENT_USER, kStats + L"\\{B1}\\iexplore", L"Flags", L"4");
        RegisterClass(L"{B1}", L"Helper", L"C:\\b1.dll");
        PutText(HKEY_CURRENT_USER, kStats + L"\\{B2}", L"Flags", L"4");
        RegisterClass(L"{B2}", L"Not a library", L"C:\\b2.exe");
        PutText(HKEY_LOCAL_MACHINE, kBarsAll + L"\\{E1}", L"BarSize", L"1");
        RegisterClass(L"{E1}", L"Research", L"C:\\e1.dll");
        PutText(HKEY_CURRENT_USER, kBarsUser + L"\\{E2}", L"BarSize", L"1");
        RegisterClass(L"{E2}", L"History", L"C:\\windows\\system32\\shdocvw.dll");
        PutText(HKEY_CURRENT_USER, kMenuExt + L"\\&Translate", L"", L"C:\\tr.htm");
        PutText(HKEY_CURRENT_USER, kExplorer, L"DownloadUI", L"{D1}");
        RegisterClass(L"{D1}", L"downloader", L"C:\\d1.dll");
    }
    void OpenPlugins() {
        MarkFirstScanOffered();
        Open();
        ShowPage();
    }
    void ShowPage() {
        Press(form_->ToolButtonFor<IePluginsSection>().Handle());
        ASSERT_EQ(&form_->ShownSection(), &Page());
    }
    IePluginsSection& Page() { return form_->Get<IePluginsSection>(); }
    HWND List() { return Page().lvBHO.Handle(); }
    Rows Names() { return Shown(List(), 1); }
    void Toggle(CheckBox& box) {
        box.Click();
        Settle();
    }
    std::vector<CheckBox*> DisplayBoxes() {
        return {&Page().DisplayToolbar_CheckBox, &Page().DisplayBHO_CheckBox,
                &Page().DisplayExpBar_CheckBox, &Page().DisplayMenuExt_CheckBox,
                &Page().DisplayDownHandle_CheckBox};
    }
    void CheckRow(const std::wstring& shown) {
        const Rows names = Names();
        const auto at = std::find(names.begin(), names.end(), L"[ ] " + shown);
        ASSERT_NE(at, names.end()) << ToUtf8(shown);
        ClickCheckBox(List(), static_cast<int>(at - names.begin()));
    }
};

TEST_F(MainFormIePluginsTest, ListsNarrowsDeletesIntoTheHistoryAndRestores) {
    OpenPlugins();
    for (CheckBox* box : DisplayBoxes()) {
        EXPECT_TRUE(box->Checked());
    }
    // Sorted by name as the user's locale sorts, case aside.
    EXPECT_EQ(Shown(List(), 4),
              (Rows{L"[ ] Address Toolbar | Toolbar CURRENT USER | {T2} | "
                    L"C:\\windows\\system32\\browseui.dll",
                    L"[ ] downloader | Download Handler | {D1} | C:\\d1.dll",
                    L"[ ] Helper | Browser Extensions | {B1} | C:\\b1.dll",
                    L"[ ] History | Exp. CURRENT USER | {E2} | C:\\windows\\system32\\shdocvw.dll",
                    L"[ ] Research | Exp. ALL USER | {E1} | C:\\e1.dll",
                    L"[ ] Shop Toolbar | Toolbar ALL USER | {T1} | C:\\t1.dll",
                    L"[ ] Translate | Menu Extensions | " + std::wstring(kMenuExtensionsEntry) +
                        L" | C:\\tr.htm"}));

    // Each Display box narrows the list at once; all five off leave it empty.
    Toggle(Page().DisplayBHO_CheckBox);
    Toggle(Page().DisplayToolbar_CheckBox);
    EXPECT_EQ(Names(),
              (Rows{L"[ ] downloader", L"[ ] History", L"[ ] Research", L"[ ] Translate"}));
    Toggle(Page().DisplayExpBar_CheckBox);
    Toggle(Page().DisplayMenuExt_CheckBox);
    EXPECT_EQ(Names(), (Rows{L"[ ] downloader"}));
    Toggle(Page().DisplayDownHandle_CheckBox);
    EXPECT_EQ(RowCount(List()), 0);
    for (CheckBox* box : DisplayBoxes()) {
        Toggle(*box);
    }
    EXPECT_EQ(RowCount(List()), 7);

    // Scan Now reads the registry afresh and drops the marks.
    PutText(HKEY_CURRENT_USER, kMenuExt + L"\\Blog This", L"", L"C:\\blog.htm");
    CheckRow(L"Shop Toolbar");
    Click(Page().ScanToolbar_BitBtn);
    EXPECT_EQ(RowCount(List()), 8);
    EXPECT_EQ(Page().addOns.CheckedCount(), 0u);

    // The history cannot be saved: nothing is deleted, nothing recorded, the marks are dropped.
    CheckRow(L"Helper");
    ASSERT_TRUE(CreateDirectoryW((temp_ / L"Backup.xml").c_str(), nullptr));
    Click(Page().Del_SpeedButton);
    ASSERT_EQ(Errors().size(), 1u);
    EXPECT_EQ(
        Errors()[0].rfind(L"Nothing was deleted: the restore history could not be saved.\n\n", 0),
        0u);
    EXPECT_TRUE(ClassIn(L"{B1}"));
    EXPECT_EQ(form_->RestoreXmlDocument().Root().ChildCount(), 0u);
    EXPECT_EQ(RowCount(List()), 8);
    EXPECT_EQ(Page().addOns.CheckedCount(), 0u);
    ASSERT_TRUE(RemoveDirectoryW((temp_ / L"Backup.xml").c_str()));

    // Protected rows are refused, one message each, bottom up; the others are deleted and
    // every checked row gets a history entry, bottom up too.
    for (const wchar_t* name : {L"Address Toolbar", L"Helper", L"History", L"Translate"}) {
        CheckRow(name);
    }
    Click(Page().Del_SpeedButton);
    EXPECT_EQ(dialogs_.Texts(ShownDialog::Kind::Message),
              (Rows{kDefaultExplorerBarsProtectedMessage, kAddressLinksProtectedMessage}));
    EXPECT_EQ(Errors().size(), 1u);
    EXPECT_FALSE(ClassIn(L"{B1}"));
    EXPECT_FALSE(KeyIn(HKEY_CURRENT_USER, kStats + L"\\{B1}"));
    EXPECT_FALSE(KeyIn(HKEY_CURRENT_USER, kMenuExt + L"\\&Translate"));
    EXPECT_TRUE(KeyIn(HKEY_CURRENT_USER, kMenuExt + L"\\Blog This"));
    EXPECT_TRUE(ClassIn(L"{T2}"));
    EXPECT_TRUE(ClassIn(L"{E2}"));
    EXPECT_TRUE(KeyIn(HKEY_CURRENT_USER, kBarsUser + L"\\{E2}"));
    EXPECT_TRUE(ClassIn(L"{B2}"));
    EXPECT_EQ(Names(), (Rows{L"[ ] Address Toolbar", L"[ ] Blog This", L"[ ] downloader",
                             L"[ ] History", L"[ ] Research", L"[ ] Shop Toolbar"}));
    XmlDocument saved;
    saved.Load(temp_ / L"Backup.xml");
    EXPECT_EQ(saved.Root().ChildCount(), 4u) << "the history reached the disk first";

    // The Restore History section heard of it; restoring its entries brings the add-ons back.
    HistorySection& history = form_->Get<HistorySection>();
    const HWND historyRows = history.lvHistory.Handle();
    EXPECT_EQ(Shown(historyRows, 3),
              (Rows{L"[ ] Translate | Menu Extensions | C:\\tr.htm",
                    L"[ ] History | Exp. CURRENT USER | C:\\windows\\system32\\shdocvw.dll",
                    L"[ ] Helper | Browser Extensions | C:\\b1.dll",
                    L"[ ] Address Toolbar | Toolbar CURRENT USER | "
                    L"C:\\windows\\system32\\browseui.dll"}));
    Press(form_->ToolButtonFor<HistorySection>().Handle());
    Click(history.btnCheckAll1);
    Click(history.btnRestore);
    EXPECT_EQ(RowCount(historyRows), 0);
    EXPECT_EQ(Errors().size(), 1u);
    EXPECT_TRUE(ClassIn(L"{B1}"));
    EXPECT_TRUE(KeyIn(HKEY_CURRENT_USER, kStats + L"\\{B1}\\iexplore"));
    Registry reg(HKEY_CURRENT_USER);
    ASSERT_TRUE(reg.OpenKeyReadOnly(L"\\" + kMenuExt + L"\\&Translate"));
    EXPECT_EQ(reg.ReadString(L""), L"C:\\tr.htm");
    ShowPage();
    EXPECT_EQ(RowCount(List()), 8);
    EXPECT_EQ(dialogs_.Count(ShownDialog::Kind::Message), 2u);

    // A registration that stays is told; its history entry stays to restore what was recorded.
    CheckRow(L"Translate");
    {
        ReadOnlyKey readOnly(HKEY_CURRENT_USER, kMenuExt);
        Click(Page().Del_SpeedButton);
    }
    ASSERT_EQ(Errors().size(), 2u);
    EXPECT_EQ(Errors().back(),
              L"Some add-ons were not deleted:\n\nTranslate (Menu Extensions): "
              L"Still there: HKEY_CURRENT_USER\\" +
                  kMenuExt + L"\\&Translate");
    EXPECT_TRUE(KeyIn(HKEY_CURRENT_USER, kMenuExt + L"\\&Translate"));
    EXPECT_EQ(Shown(historyRows, 1), (Rows{L"[ ] Translate"}));
    EXPECT_EQ(RowCount(List()), 8);
}

}  // namespace
}  // namespace kestrova
