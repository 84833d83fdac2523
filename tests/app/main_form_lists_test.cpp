// Sorting, filtering and exporting a result list in the main window, as a user does it: a
// click on a column header, keys typed into the filter box, "Export..." answered by a scripted
// save dialog; and the rows an action acts on stay the checked rows of the whole list.
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "app/drive_cleaner_frame.h"
#include "main_form_fixture.h"
#include "managers/startup_entries.h"
#include "platform/csv.h"
#include "tools/drive_cleaner.h"
#include "support/temp_folder.h"

namespace kestrova {
namespace {

using namespace test;

const std::wstring kRun = kRunKey;
const std::wstring kRecords = kStartupRecordsKey;
constexpr int kWindowsXp = 6;

class MainFormListsTest : public MainFormTest {
protected:
    void OpenStartup() {
        MarkFirstScanOffered();
        Open();
        Page().UseVersionClass([] { return kWindowsXp; });
        Press(form_->ToolButtonFor<StartupSection>().Handle());
        ASSERT_EQ(&form_->ShownSection(), &Page());
    }
    StartupSection& Page() { return form_->Get<StartupSection>(); }
    HWND List() { return Page().lvStartup.Handle(); }
    HWND Header() { return ListView_GetHeader(List()); }
    Rows ShownRows() { return Shown(List(), 2); }

    // A left click in the middle of a column's header.
    static void ClickHeader(HWND list, int column) {
        const HWND header = ListView_GetHeader(list);
        RECT r = {};
        ASSERT_TRUE(Header_GetItemRect(header, column, &r));
        ClickAt(header, r);
    }
    // The sort arrow of each column: "^" up, "v" down, "-" none.
    std::wstring Arrows() {
        std::wstring arrows;
        for (int i = 0; i < Header_GetItemCount(Header()); ++i) {
            HDITEMW item = {};
            item.mask = HDI_FORMAT;
            Header_GetItem(Header(), i, &item);
            arrows += (item.fmt & HDF_SORTUP) ? L'^' : (item.fmt & HDF_SORTDOWN) ? L'v' : L'-';
        }
        return arrows;
    }
    void Type(const std::wstring& text) {
        for (wchar_t c : text) {
            PostMessageW(Page().lvStartupTools.edtFilter.Handle(), WM_CHAR, c, 0);
        }
        Settle();
    }
    bool Enabled(HKEY root, const std::wstring& name) {
        Registry reg(root);
        return reg.OpenKeyReadOnly(L"\\" + kRun) && reg.ValueExists(name);
    }
};

TEST_F(MainFormListsTest, StartupListSortsFiltersExportsAndAppliesEveryCheckedRow) {
    PutText(HKEY_LOCAL_MACHINE, kRun, L"Beta", L"run10.exe");
    PutText(HKEY_LOCAL_MACHINE, kRun, L"alpha", L"run9.exe");
    PutText(HKEY_LOCAL_MACHINE, kRun, L"delta", L"RUN100.exe");
    PutText(HKEY_CURRENT_USER, kRun, L"Gamma", L"run1.exe");
    OpenStartup();
    const Rows designed = ShownRows();
    ASSERT_EQ(designed.size(), 4u);
    EXPECT_EQ(Arrows(), L"---");
    EXPECT_EQ(Page().lvStartupTools.lblShown.Text(), L"");
    // The strip comes before the list in the tab order, the filter box first.
    EXPECT_EQ(GetWindow(Page().lvStartupTools.lblFilter.Handle(), GW_HWNDNEXT),
              Page().lvStartupTools.edtFilter.Handle());
    EXPECT_EQ(GetWindow(Page().lvStartupTools.btnExport.Handle(), GW_HWNDNEXT), List());

    // alpha is switched off while shown; the filter will hide it later.
    const auto alphaRow = std::find(designed.begin(), designed.end(), L"[x] alpha | run9.exe");
    ASSERT_NE(alphaRow, designed.end());
    ClickCheckBox(List(), static_cast<int>(alphaRow - designed.begin()));

    // The selection is a model row and stays on it whatever the order.
    size_t beta = 0;
    while (beta < Page().entries.RowCount() && Page().entries.CellText(beta, 0) != L"Beta") {
        ++beta;
    }
    ASSERT_LT(beta, Page().entries.RowCount());
    Page().lvStartup.Select(beta);

    // Commands by the numbers in them, then the other way; a third click: the listed order.
    ClickHeader(List(), 1);
    EXPECT_EQ(Arrows(), L"-^-");
    EXPECT_EQ(ShownRows(), (Rows{L"[x] Gamma | run1.exe", L"[ ] alpha | run9.exe",
                                 L"[x] Beta | run10.exe", L"[x] delta | RUN100.exe"}));
    EXPECT_EQ(Page().lvStartup.SelectedIndex(), static_cast<int>(beta));
    EXPECT_EQ(ListView_GetNextItem(List(), -1, LVNI_SELECTED), 2) << "shown third";
    ClickHeader(List(), 1);
    EXPECT_EQ(Arrows(), L"-v-");
    EXPECT_EQ(ShownRows(), (Rows{L"[x] delta | RUN100.exe", L"[x] Beta | run10.exe",
                                 L"[ ] alpha | run9.exe", L"[x] Gamma | run1.exe"}));

    // Typing narrows the rows at each key, case-insensitive, sorted as before.
    Type(L"run1");
    EXPECT_EQ(ShownRows(),
              (Rows{L"[x] delta | RUN100.exe", L"[x] Beta | run10.exe", L"[x] Gamma | run1.exe"}));
    EXPECT_EQ(Page().lvStartupTools.lblShown.Text(), L"3 of 4 shown");

    // Export writes the columns and rows shown, in the order shown.
    const std::wstring file = temp_ / L"startup.csv";
    dialogs_.fileAnswers.push_back(file);
    Page().lvStartupTools.btnExport.Click();
    Settle();
    ASSERT_EQ(dialogs_.shown.size(), 1u);
    EXPECT_EQ(dialogs_.shown[0].kind, ShownDialog::Kind::SaveFile);
    const std::wstring hklmRun = L"HKLM\\" + kRun;
    const std::wstring hkcuRun = L"HKCU\\" + kRun;
    EXPECT_EQ(ReadFileBytes(file), CsvDocument({L"Startup Items", L"Command", L"Location"},
                                               {{L"delta", L"RUN100.exe", hklmRun},
                                                {L"Beta", L"run10.exe", hklmRun},
                                                {L"Gamma", L"run1.exe", hkcuRun}}));
    // A file that cannot be written is told, and leaves nothing behind.
    const std::wstring unwritable = temp_ / L"missing folder\\startup.csv";
    dialogs_.fileAnswers.push_back(unwritable);
    Page().lvStartupTools.btnExport.Click();
    Settle();
    ASSERT_EQ(Errors().size(), 1u);
    EXPECT_NE(Errors()[0].find(unwritable), std::wstring::npos) << Errors()[0];

    // The space bar marks the selected row, wherever it is shown.
    EXPECT_EQ(Page().lvStartup.SelectedRows(), std::vector<size_t>{beta});
    SetFocus(List());
    SendMessageW(List(), WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_FALSE(Page().entries.Checked(beta));
    SendMessageW(List(), WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_TRUE(Page().entries.Checked(beta));

    // A mark clicked in the sorted, filtered list is its own row's: delta goes off. Apply acts
    // on every row's mark, the hidden alpha's included, and on nothing else.
    ClickCheckBox(List(), 0);
    EXPECT_EQ(ShownRows(),
              (Rows{L"[ ] delta | RUN100.exe", L"[x] Beta | run10.exe", L"[x] Gamma | run1.exe"}));
    ASSERT_TRUE(Page().btnApply.Enabled());
    Page().btnApply.Click();
    Settle();
    EXPECT_FALSE(Enabled(HKEY_LOCAL_MACHINE, L"alpha"));
    EXPECT_FALSE(Enabled(HKEY_LOCAL_MACHINE, L"delta"));
    EXPECT_TRUE(KeyIn(HKEY_LOCAL_MACHINE, kRecords + L"\\alpha"));
    EXPECT_TRUE(KeyIn(HKEY_LOCAL_MACHINE, kRecords + L"\\delta"));
    EXPECT_TRUE(Enabled(HKEY_LOCAL_MACHINE, L"Beta"));
    EXPECT_TRUE(Enabled(HKEY_CURRENT_USER, L"Gamma"));
    // Listed afresh, the rows keep the user's order and filter.
    EXPECT_EQ(ShownRows(),
              (Rows{L"[ ] delta | RUN100.exe", L"[x] Beta | run10.exe", L"[x] Gamma | run1.exe"}));

    // Clearing the filter and a third click give the listed rows back.
    SetWindowTextW(Page().lvStartupTools.edtFilter.Handle(), L"");
    ClickHeader(List(), 1);
    Settle();
    EXPECT_EQ(Arrows(), L"---");
    EXPECT_EQ(RowCount(List()), 4);
    EXPECT_EQ(Page().lvStartupTools.lblShown.Text(), L"");

    // Rows arriving in a sorted list move the others: the selection stays on its row, so an
    // action on the selected row never takes the one that moved into its place.
    ClickHeader(List(), 1);
    beta = 0;  // listed afresh by Apply
    while (beta < Page().entries.RowCount() && Page().entries.CellText(beta, 0) != L"Beta") {
        ++beta;
    }
    Page().lvStartup.Select(beta);
    ASSERT_EQ(ListView_GetNextItem(List(), -1, LVNI_SELECTED), 2);
    Page().entries.Add(TextRow{{L"epsilon", L"run0.exe", hklmRun}, true});
    Settle();
    EXPECT_EQ(ShownRows()[0], L"[x] epsilon | run0.exe");
    EXPECT_EQ(Page().lvStartup.SelectedRows(), std::vector<size_t>{beta});
    EXPECT_EQ(ListView_GetNextItem(List(), -1, LVNI_SELECTED), 3);
    // After a removal an index may name another row: nothing stays selected.
    Page().entries.Remove(Page().entries.RowCount() - 1);
    Settle();
    EXPECT_EQ(ListView_GetNextItem(List(), -1, LVNI_SELECTED), -1);
}

// The Drive Cleaner's results sort by bytes, not by their "KB" text; Delete deletes every
// checked file, those the filter hides included, and no other.
TEST_F(MainFormListsTest, CleanerResultsSortBySizeAndDeleteEveryCheckedFile) {
    MarkFirstScanOffered();
    Open();
    Press(form_->ToolButtonFor<MoreToolsSection>().Handle());
    MoreToolsSection& tools = form_->Get<MoreToolsSection>();
    tools.pcMoreTools.ShowPage(2);
    TDriveCleanerFrame& page = tools.Get<TDriveCleanerFrame>();
    page.pcMain.ShowPage(TDriveCleanerFrame::kSearchPage);
    Settle();

    std::vector<JunkFileRow> rows;
    for (const auto& [name, size] :
         {std::pair{L"keep_a.tmp", 500}, std::pair{L"junk_b.tmp", 10},
          std::pair{L"junk_c.tmp", 2048}, std::pair{L"junk_d.tmp", 1100}}) {
        const std::wstring path = temp_ / name;
        WriteFileBytes(path, std::string(static_cast<size_t>(size), 'x'));
        rows.push_back({path, static_cast<uint64_t>(size), KilobytesText(size), L""});
    }
    // Times in an order their texts do not sort in.
    const wchar_t* times[] = {L"9/1/2026", L"10/1/2025", L"1/1/2026", L"12/31/2025"};
    for (size_t i = 0; i < rows.size(); ++i) {
        rows[i].dateTimeText = times[i];
        rows[i].writeTime = 1000 - 100 * i;
    }
    page.results.Assign(rows, {true, true, true, false});
    Settle();
    const HWND list = page.lvSearchResult.Handle();
    const auto names = [&] {
        Rows shown;
        for (const std::wstring& row : Shown(list, 2)) {
            shown.push_back(row.substr(0, 4) + row.substr(row.rfind(L'\\') + 1));
        }
        return shown;
    };
    const auto byTime = [&] {
        std::wstring order;
        for (int row = 0; row < RowCount(list); ++row) {
            order += ItemText(list, row, 2) + L";";
        }
        return order;
    };

    ClickHeader(list, 2);
    EXPECT_EQ(byTime(), L"12/31/2025;1/1/2026;10/1/2025;9/1/2026;");

    ClickHeader(list, 1);
    // "0 KB" twice, told apart by their bytes.
    EXPECT_EQ(names(), (Rows{L"[x] junk_b.tmp | 0 KB", L"[x] keep_a.tmp | 0 KB",
                             L"[ ] junk_d.tmp | 1 KB", L"[x] junk_c.tmp | 2 KB"}));

    SetWindowTextW(page.lvSearchResultTools.edtFilter.Handle(), L"JUNK");
    Settle();
    EXPECT_EQ(names(),
              (Rows{L"[x] junk_b.tmp | 0 KB", L"[ ] junk_d.tmp | 1 KB", L"[x] junk_c.tmp | 2 KB"}));
    EXPECT_EQ(page.lvSearchResultTools.lblShown.Text(), L"3 of 4 shown");

    page.btnDeleteFiles.Click();
    Settle();
    EXPECT_TRUE(Errors().empty());
    EXPECT_FALSE(FileExists(rows[0].path)) << "checked, though hidden";
    EXPECT_FALSE(FileExists(rows[1].path));
    EXPECT_FALSE(FileExists(rows[2].path));
    EXPECT_TRUE(FileExists(rows[3].path)) << "not checked";
    EXPECT_EQ(names(), (Rows{L"[ ] junk_d.tmp | 1 KB"}));
    EXPECT_EQ(page.lvSearchResultTools.lblShown.Text(), L"1 of 1 shown");
}

}  // namespace
}  // namespace kestrova
