// The More Tools pages "UserAssist" and "Drive Cleaner" of the main window: every button
// pressed as a user would, over a sandboxed registry and files under the test's own folder.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/drive_cleaner_frame.h"
#include "app/user_assist_frame.h"
#include "main_form_fixture.h"
#include "platform/text.h"
#include "platform/unique_handles.h"
#include "support/key_access.h"
#include "tools/drive_cleaner_captions.h"
#include "tools/user_assist.h"
#include "tools/user_assist_captions.h"

namespace kestrova {
namespace {

using namespace test;

constexpr size_t kUserAssistTab = 1;
constexpr size_t kDriveCleanerTab = 2;

Rows Sorted(Rows rows) {
    std::sort(rows.begin(), rows.end());
    return rows;
}

// Presses the tab of a tab control with the mouse.
void PressTab(HWND tabs, int index) {
    RECT r = {};
    ASSERT_TRUE(TabCtrl_GetItemRect(tabs, index, &r));
    ClickAt(tabs, r);
}

// The mouse on a row's caption: a click, or a double click.
void PressRow(HWND list, int row, bool twice) {
    ListView_EnsureVisible(list, row, FALSE);
    RECT r = {};
    ASSERT_TRUE(ListView_GetItemRect(list, row, &r, LVIR_LABEL));
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(list, WM_LBUTTONUP, 0, at);
    if (twice) {
        PostMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        PostMessageW(list, WM_LBUTTONUP, 0, at);
    }
    Settle();
}

class MainFormToolsTest : public MainFormTest {
protected:
    void OpenTab(size_t tab) {
        MarkFirstScanOffered();
        Open();
        Press(form_->ToolButtonFor<MoreToolsSection>().Handle());
        PressTab(Tools().pcMoreTools.Handle(), static_cast<int>(tab));
        ASSERT_EQ(Tools().pcMoreTools.ActivePage(), tab);
    }
    MoreToolsSection& Tools() { return form_->Get<MoreToolsSection>(); }
    void Click(Button& button) {
        button.Click();
        Settle();
    }
};

// --- UserAssist.

// A record under key, its name scrambled as Explorer stores it, with 72 bytes of counters.
void WriteRecord(const std::wstring& decoded, const wchar_t* key = kUserAssistKeyPath) {
    Registry registry(HKEY_CURRENT_USER);
    ASSERT_TRUE(registry.OpenKey(key, true));
    BYTE counters[kUserAssistUsageSize] = {0, 0, 0, 0, 6};
    registry.WriteBinaryData(DecodeUserAssistName(decoded), counters, sizeof(counters));
}

// The records as the registry lists them: "[ ] FileName | Type", or just the decoded names.
Rows RecordRowsNow(UserAssistLayout layout, bool decodedNames = false) {
    Rows rows;
    for (const UserAssistRecord& record : ListUserAssistRecords(layout)) {
        rows.push_back(decodedNames ? DecodeUserAssistName(record.rawName)
                                    : L"[ ] " + record.fileName + L" | " + record.type);
    }
    return rows;
}

// Who may change the values of the UserAssist key: nobody, or everybody.
void LockUserAssistKey(bool locked) {
    SetKeyAccess(HKEY_CURRENT_USER, kUserAssistKeyPath,
                 locked ? L"D:(D;;0x2;;;WD)(A;;GA;;;WD)" : L"D:(A;;GA;;;WD)");
}

TEST_F(MainFormToolsTest, UserAssistListsSelectsAllAndDeletesTheCheckedRecords) {
    constexpr auto kClassic = UserAssistLayout::Classic;
    constexpr auto kWindows7 = UserAssistLayout::Windows7;
    WriteRecord(L"UEME_RUNPATH:C:\\app.exe");
    WriteRecord(L"UEME_RUNPIDL:%csidl2%\\Games");
    WriteRecord(L"UEME_RUNPATH:C:\\Start Menu\\Tool.LNK");
    WriteRecord(L"C:\\Tools\\run.exe", kUserAssistProgramsKeyPath);
    WriteRecord(L"C:\\Links\\Run.lnk", kUserAssistShortcutsKeyPath);
    OpenTab(kUserAssistTab);
    TfrmUserAssist& page = Tools().Get<TfrmUserAssist>();
    const HWND list = page.lvUserAssist.Handle();

    // Filled at start from the keys of the running Windows, unchecked, in the registry's order.
    EXPECT_EQ(Shown(list, 2), RecordRowsNow(SystemUserAssistLayout()));
    EXPECT_GE(RowCount(list), 2);

    // Windows 7 and later: the programs' key, then the shortcuts' key; a record is deleted
    // from its own key.
    page.UseLayout([] { return kWindows7; });
    Click(page.btnRefresh);
    EXPECT_EQ(Shown(list, 2), (Rows{L"[ ] C:\\Tools\\run.exe | Executables",
                                    L"[ ] C:\\Links\\Run.lnk | Start Menu"}));
    ClickCheckBox(list, 1);
    Click(page.btnDelete);
    EXPECT_EQ(Shown(list, 1), (Rows{L"[ ] C:\\Tools\\run.exe"}));
    EXPECT_EQ(RecordRowsNow(kWindows7), (Rows{L"[ ] C:\\Tools\\run.exe | Executables"}));
    EXPECT_EQ(RecordRowsNow(kClassic).size(), 3u);

    // The layout Windows versions before 7 use.
    page.UseLayout([] { return kClassic; });
    Click(page.btnRefresh);
    EXPECT_EQ(Sorted(Shown(list, 2)),
              (Rows{L"[ ] %csidl2%\\Games | Folder", L"[ ] C:\\Start Menu\\Tool.LNK | Start Menu",
                    L"[ ] C:\\app.exe | Executables"}));
    EXPECT_EQ(Shown(list, 2), RecordRowsNow(kClassic));
    EXPECT_EQ(page.btnSelectAll.Text(), kUserAssistSelectAllCaption);

    Click(page.btnSelectAll);
    EXPECT_EQ(page.btnSelectAll.Text(), kUserAssistUnselectAllCaption);
    for (int row = 0; row < 3; ++row) {
        EXPECT_TRUE(ItemChecked(list, row)) << row;
    }

    // A refresh shows the new record and unchecks every row; the toggle reads as it did.
    WriteRecord(L"UEME_RUNCPL:desk.cpl");
    Click(page.btnRefresh);
    EXPECT_EQ(Shown(list, 2), RecordRowsNow(kClassic));
    EXPECT_EQ(RowCount(list), 4);
    EXPECT_EQ(page.btnSelectAll.Text(), kUserAssistUnselectAllCaption);

    // Delete takes the checked rows' values by their raw names; the others stay.
    ClickCheckBox(list, 0);
    ClickCheckBox(list, 2);
    Rows left = RecordRowsNow(kClassic, true);
    left.erase(left.begin() + 2);
    left.erase(left.begin());
    Click(page.btnDelete);
    EXPECT_EQ(RecordRowsNow(kClassic, true), left);
    EXPECT_EQ(Shown(list, 2), RecordRowsNow(kClassic));
    EXPECT_TRUE(dialogs_.shown.empty());

    // The toggle goes on from where it was: uncheck all, then check all.
    ClickCheckBox(list, 1);
    Click(page.btnSelectAll);
    EXPECT_EQ(page.btnSelectAll.Text(), kUserAssistSelectAllCaption);
    EXPECT_TRUE(page.records.CheckedRows().empty());
    Click(page.btnSelectAll);
    EXPECT_EQ(page.records.CheckedRows().size(), 2u);

    // Values that cannot be deleted keep their rows, still checked, and are told once.
    LockUserAssistKey(true);
    Click(page.btnDelete);
    LockUserAssistKey(false);
    EXPECT_EQ(RecordRowsNow(kClassic, true), left);
    EXPECT_EQ(RowCount(list), 2);
    EXPECT_EQ(page.records.CheckedRows().size(), 2u);
    ASSERT_EQ(Errors().size(), 1u);
    for (const UserAssistRecord& record : page.records.Records()) {
        EXPECT_NE(Errors()[0].find(record.fileName), std::wstring::npos);
    }

    Click(page.btnDelete);
    EXPECT_EQ(RowCount(list), 0);
    EXPECT_TRUE(ListUserAssistRecords().empty());
    EXPECT_EQ(Errors().size(), 1u);

    // Without the key the list is empty and nothing is said.
    WriteRecord(L"UEME_RUNPATH:C:\\b.exe");
    Click(page.btnRefresh);
    EXPECT_EQ(RowCount(list), 1);
    ASSERT_TRUE(Registry(HKEY_CURRENT_USER).DeleteKey(kUserAssistKeyPath));
    Click(page.btnRefresh);
    EXPECT_EQ(RowCount(list), 0);
    Click(page.btnDelete);
    EXPECT_EQ(dialogs_.shown.size(), 1u);
}

// --- Drive Cleaner.

class MainFormDriveCleanerTest : public MainFormToolsTest {
protected:
    void OpenCleaner() {
        OpenTab(kDriveCleanerTab);
        // The test's folder stands in for the machine's drives.
        Page().UseDriveSource([this] {
            return std::vector<DriveInfo>{{Disk(), 3ull << 30, 1ull << 30}};
        });
        Page().UseFolderOpener([this](const std::wstring& folder) { opened_.push_back(folder); });
    }
    TDriveCleanerFrame& Page() { return Tools().Get<TDriveCleanerFrame>(); }
    std::wstring Disk() const { return temp_ / L"disk\\"; }
    void MakeFile(const std::wstring& name, size_t size = 1) {
        const std::wstring path = Disk() + name;
        for (size_t slash = path.find(L'\\', 3); slash != std::wstring::npos;
             slash = path.find(L'\\', slash + 1)) {
            CreateDirectoryW(path.substr(0, slash).c_str(), nullptr);
        }
        WriteFileBytes(path, std::string(size, 'x'));
    }
    size_t ActivePage() { return Page().pcMain.ActivePage(); }
    // Starts a search and handles the window's messages until its end shows.
    void SearchAgain() {
        Click(Page().btnSearchAgain);
        ASSERT_TRUE(PumpMessagesUntil([this] { return !Page().Searching(); }));
        Settle();
        EXPECT_EQ(Page().lblFileFound.Text(), kSearchDone);
    }

    std::vector<std::wstring> opened_;
};

TEST_F(MainFormDriveCleanerTest, DrivesExcludesFileTypesAndTheThreeRefusals) {
    OpenCleaner();
    TDriveCleanerFrame& page = Page();
    const HWND drives = page.lvDrives.Handle();
    const HWND excludes = page.lvExcludes.Handle();
    const HWND types = page.lvFileType.Handle();

    // At start: the machine's drives, every file type checked, no search yet.
    EXPECT_EQ(ActivePage(), TDriveCleanerFrame::kDrivesPage);
    Rows machine;
    for (const DriveInfo& drive : ListDrives()) {
        machine.push_back(L"[ ] " + drive.root + L" | " + MegabytesText(drive.totalBytes));
    }
    EXPECT_EQ(Shown(drives, 2), machine);
    ASSERT_EQ(RowCount(types), 7);
    EXPECT_EQ(Shown(types, 2)[0], L"[x] Temporary files | *.tmp; *._mp; *.~mp");
    EXPECT_EQ(page.fileTypes.CheckedRows().size(), 7u);
    EXPECT_EQ(page.txtExtensions.Text(), L"*.");
    EXPECT_EQ(page.lblFileFound.Text(), kFileFoundInitial);
    EXPECT_FALSE(page.btnStop.Enabled());

    Click(page.btnRefresh);
    EXPECT_EQ(Shown(drives, 3), (Rows{L"[ ] " + Disk() + L" | 3072 MB | 1024 MB"}));
    Click(page.btnNextToExtensions);
    EXPECT_EQ(Errors(), (Rows{kChooseDriveMessage}));
    EXPECT_EQ(ActivePage(), TDriveCleanerFrame::kDrivesPage);

    // Excludes: a cancelled dialog adds nothing; Select All and Delete empty the list.
    dialogs_.folderAnswers = {std::nullopt, Disk() + L"keep"};
    dialogs_.fileAnswers = {Disk() + L"keep.tmp"};
    Click(page.btnAddExcludeFolder);
    Click(page.btnAddExcludeFolder);
    Click(page.btnAddExcludeFile);
    EXPECT_EQ(Shown(excludes, 2, false),
              (Rows{Disk() + L"keep | Folder", Disk() + L"keep.tmp | File"}));
    EXPECT_EQ(dialogs_.Texts(ShownDialog::Kind::BrowseFolder),
              (Rows{kSelectFolderTitle, kSelectFolderTitle}));
    ASSERT_EQ(dialogs_.Count(ShownDialog::Kind::OpenFile), 1u);
    EXPECT_EQ(dialogs_.shown.back().filter, kAllFilesFilter);
    // Only the selected rows go, and a second press finds nothing selected.
    PressRow(excludes, 0, false);
    Click(page.btnDeleteExclude);
    EXPECT_EQ(Shown(excludes, 1, false), (Rows{Disk() + L"keep.tmp"}));
    Click(page.btnDeleteExclude);
    EXPECT_EQ(RowCount(excludes), 1);
    dialogs_.folderAnswers = {Disk() + L"keep"};
    Click(page.btnAddExcludeFolder);
    Click(page.btnSelectAllExclude);
    EXPECT_EQ(page.lvExcludes.SelectedRows(), (std::vector<size_t>{0, 1}));
    Click(page.btnDeleteExclude);
    EXPECT_EQ(RowCount(excludes), 0);

    ClickCheckBox(drives, 0);
    Click(page.btnNextToExtensions);
    EXPECT_EQ(ActivePage(), TDriveCleanerFrame::kExtensionsPage);

    // A new type needs both texts; it comes unchecked, and the edits keep what they hold.
    page.txtExtensions.SetText(L"");
    Click(page.btnAdd);
    page.txtFileType.SetText(L"Old drafts");
    Click(page.btnAdd);
    page.txtExtensions.SetText(L"*.drf; *.dr~");
    Click(page.btnAdd);
    EXPECT_EQ(Errors(), (Rows{kChooseDriveMessage, kEnterFileTypeMessage, kEnterFileTypeMessage}));
    ASSERT_EQ(RowCount(types), 8);
    EXPECT_EQ(Shown(types, 2)[7], L"[ ] Old drafts | *.drf; *.dr~");
    EXPECT_EQ(page.txtFileType.Text(), L"Old drafts");
    EXPECT_EQ(page.txtExtensions.Text(), L"*.drf; *.dr~");

    // Search selects the first type whose masks hold the text, letter case aside.
    for (const auto& [text, row] :
         {std::pair{L"~mp", 0}, std::pair{L"chk", 4}, std::pair{L".DR", 7}, std::pair{L"*.", 0}}) {
        page.txtFileType.SetText(text);
        Click(page.btnSearch);
        EXPECT_EQ(page.lvFileType.SelectedIndex(), row) << text;
    }
    page.txtFileType.SetText(L"nothing like it");
    Click(page.btnSearch);
    EXPECT_EQ(page.lvFileType.SelectedIndex(), 0) << "no match changes nothing";

    // Delete takes the checked types; Go Search needs one checked.
    Click(page.btnDeleteExtensions);
    EXPECT_EQ(Shown(types, 1), (Rows{L"[ ] Old drafts"}));
    Click(page.btnNextToSearch);
    EXPECT_EQ(Errors().back(), kChooseExtensionMessage);
    EXPECT_EQ(Errors().size(), 4u);
    EXPECT_EQ(ActivePage(), TDriveCleanerFrame::kExtensionsPage);
    Click(page.btnCheckAllExtensions);
    Click(page.btnCheckAllExtensions);
    EXPECT_EQ(Shown(types, 1), (Rows{L"[x] Old drafts"})) << "Check All only checks";

    // Go Search writes the summary and shows the search page; the search waits for its button.
    dialogs_.fileAnswers = {Disk() + L"a.drf"};
    Click(page.btnAddExcludeFile);
    Click(page.btnNextToSearch);
    EXPECT_EQ(ActivePage(), TDriveCleanerFrame::kSearchPage);
    EXPECT_EQ(page.mSummary.Text(),
              L"Extensions:\r\n*.drf; *.dr~; \r\n\r\nExcludes:\r\n" + Disk() + L"a.drf\r\n\r\n");
    EXPECT_EQ(page.lblFileFound.Text(), kFileFoundInitial);
    EXPECT_FALSE(page.Searching());
    EXPECT_TRUE(page.btnSearchAgain.Enabled());

    Click(page.btnBackToExtensions);
    EXPECT_EQ(ActivePage(), TDriveCleanerFrame::kExtensionsPage);
    Click(page.btnBack);
    EXPECT_EQ(ActivePage(), TDriveCleanerFrame::kDrivesPage);
    PressTab(page.pcMain.Handle(), 2);
    EXPECT_EQ(ActivePage(), TDriveCleanerFrame::kSearchPage);
    EXPECT_EQ(Errors().size(), 4u);
}

TEST_F(MainFormDriveCleanerTest, SearchesStopsDeletesAndOpensTheFolder) {
    MakeFile(L"a.tmp", 3000);
    MakeFile(L"b.BAK");
    MakeFile(L"notes.txt");
    MakeFile(L"keep.tmp");
    MakeFile(L"keep\\c.tmp");
    MakeFile(L"sub\\d.log");
    MakeFile(L"sub\\locked.tmp", 1024);
    OpenCleaner();
    TDriveCleanerFrame& page = Page();
    const HWND list = page.lvSearchResult.Handle();
    Click(page.btnRefresh);
    ClickCheckBox(page.lvDrives.Handle(), 0);
    dialogs_.fileAnswers = {Disk() + L"keep.tmp"};
    dialogs_.folderAnswers = {Disk() + L"keep"};
    Click(page.btnAddExcludeFile);
    Click(page.btnAddExcludeFolder);
    Click(page.btnNextToExtensions);
    Click(page.btnNextToSearch);
    ASSERT_EQ(ActivePage(), TDriveCleanerFrame::kSearchPage);

    // Pressed, the search runs: Search Again waits and Stop may be pressed until its end.
    page.btnSearchAgain.Click();
    EXPECT_FALSE(page.btnSearchAgain.Enabled());
    EXPECT_TRUE(page.btnStop.Enabled());
    ASSERT_TRUE(PumpMessagesUntil([&page] { return !page.Searching(); }));
    Settle();
    EXPECT_EQ(page.lblFileFound.Text(), kSearchDone);
    EXPECT_TRUE(page.btnSearchAgain.Enabled());
    EXPECT_FALSE(page.btnStop.Enabled());
    const Rows found = {L"[ ] " + Disk() + L"a.tmp | 2 KB", L"[ ] " + Disk() + L"b.BAK | 0 KB",
                        L"[ ] " + Disk() + L"sub\\d.log | 0 KB",
                        L"[ ] " + Disk() + L"sub\\locked.tmp | 1 KB"};
    EXPECT_EQ(Sorted(Shown(list, 2)), found);
    EXPECT_EQ(ItemText(list, 0, 2), page.results.At(0).dateTimeText);
    EXPECT_FALSE(ItemText(list, 0, 2).empty());

    // Searched again: the list starts afresh.
    SearchAgain();
    EXPECT_EQ(Sorted(Shown(list, 2)), found);

    // A double click opens the folder of the row's file.
    const auto rowOf = [&](const std::wstring& name) {
        for (int row = 0; row < RowCount(list); ++row) {
            if (ItemText(list, row, 0) == Disk() + name) {
                return row;
            }
        }
        ADD_FAILURE() << "no row for " << ToUtf8(name);
        return 0;
    };
    PressRow(list, rowOf(L"sub\\d.log"), true);
    EXPECT_EQ(opened_, (Rows{Disk() + L"sub\\"}));

    // Delete removes the checked files with their rows; a file held open keeps its row,
    // checked, and is named once.
    Click(page.btnCheckAllFiles);
    EXPECT_EQ(page.results.CheckedRows().size(), 4u);
    ClickCheckBox(list, rowOf(L"sub\\d.log"));
    {
        UniqueKernelHandle held(CreateFileW((Disk() + L"sub\\locked.tmp").c_str(), GENERIC_READ, 0,
                                            nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        Click(page.btnDeleteFiles);
    }
    EXPECT_EQ(Sorted(Shown(list, 1)),
              (Rows{L"[ ] " + Disk() + L"sub\\d.log", L"[x] " + Disk() + L"sub\\locked.tmp"}));
    EXPECT_FALSE(FileExists(Disk() + L"a.tmp"));
    EXPECT_FALSE(FileExists(Disk() + L"b.BAK"));
    EXPECT_TRUE(FileExists(Disk() + L"sub\\d.log"));
    EXPECT_TRUE(FileExists(Disk() + L"sub\\locked.tmp"));
    ASSERT_EQ(Errors().size(), 1u);
    EXPECT_NE(Errors()[0].find(Disk() + L"sub\\locked.tmp"), std::wstring::npos);
    Click(page.btnDeleteFiles);
    EXPECT_EQ(Shown(list, 1), (Rows{L"[ ] " + Disk() + L"sub\\d.log"}));
    EXPECT_FALSE(FileExists(Disk() + L"sub\\locked.tmp"));

    // Stop during a search over many folders: the break shows, then the search's end, and
    // no folder after the break; the folders not yet searched give no rows.
    for (int i = 0; i < 300; ++i) {
        MakeFile(L"many\\f" + std::to_wstring(i) + L"\\x.tmp");
    }
    {
        // Searched whole, the label follows the folders and the rows arrive in batches.
        TextRecorder label(page.lblFileFound.Handle());
        SearchAgain();
        EXPECT_EQ(RowCount(list), 301);
        ASSERT_GE(label.texts.size(), 2u);
        EXPECT_EQ(label.texts.back(), kSearchDone);
        for (size_t i = 0; i + 1 < label.texts.size(); ++i) {
            EXPECT_EQ(label.texts[i].rfind(kFolderPrefix + Disk(), 0), 0u)
                << ToUtf8(label.texts[i]);
        }
    }
    {
        TextRecorder label(page.lblFileFound.Handle());
        page.btnSearchAgain.Click();
        page.btnStop.Click();
        EXPECT_TRUE(page.btnSearchAgain.Enabled());
        EXPECT_FALSE(page.btnStop.Enabled());
        ASSERT_TRUE(PumpMessagesUntil([&page] { return !page.Searching(); }));
        Settle();
        const auto userBreak = std::find(label.texts.begin(), label.texts.end(), kUserBreak);
        ASSERT_NE(userBreak, label.texts.end());
        EXPECT_EQ(Rows(userBreak, label.texts.end()), (Rows{kUserBreak, kSearchDone}));
    }
    EXPECT_LT(RowCount(list), 200);

    // Without a checked drive the search finds nothing.
    ClickCheckBox(page.lvDrives.Handle(), 0);
    SearchAgain();
    EXPECT_EQ(RowCount(list), 0);
    EXPECT_EQ(Errors().size(), 1u);

    // The window may close while a search runs.
    ClickCheckBox(page.lvDrives.Handle(), 0);
    page.btnSearchAgain.Click();
    Exit();
    EXPECT_TRUE(closed_);
}

}  // namespace
}  // namespace kestrova
