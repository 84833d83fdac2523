// The main window as a user meets it: created on the test display, driven by mouse messages,
// button clicks and the messages the notification-area icon sends, its lists read back
// through the list view control.
#include "app/main_form.h"

#include <commctrl.h>

#include <algorithm>

#include "app/autorun.h"
#include "app/data_folder.h"
#include "app/first_activation.h"
#include "main_form_fixture.h"
#include "platform/registry.h"

namespace kestrova {
namespace {

using namespace test;

struct Column {
    std::wstring caption;
    int width;  // -1: shares the rest of the width
    int format = LVCFMT_LEFT;
};

std::wstring RunValue() {
    Registry reg(HKEY_CURRENT_USER);
    return reg.OpenKeyReadOnly(kRunKeyPath) && reg.ValueExists(kAutorunValueName)
               ? reg.ReadString(kAutorunValueName)
               : L"<none>";
}

TEST_F(MainFormTest, WindowHasTheLayoutOfTheProgram) {
    Open();
    wchar_t title[64] = {};
    GetWindowTextW(Form(), title, 64);
    EXPECT_STREQ(title, L"Kestrova PC Optimizer");
    RECT client = {};
    GetClientRect(Form(), &client);
    EXPECT_EQ(client.right, 754);
    EXPECT_EQ(client.bottom, 483);
    const LONG_PTR style = GetWindowLongPtrW(Form(), GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    // The window grows (main_form_resize_test.cpp); it opens at its designed size.
    EXPECT_TRUE(style & WS_MAXIMIZEBOX);
    EXPECT_TRUE(style & WS_THICKFRAME);

    const struct {
        ToolButton& (TfmMainForm::*button)();
        const wchar_t* caption;
        const wchar_t* hint;
        Bounds bounds;
    } buttons[] = {
        {&TfmMainForm::ToolButtonFor<ScanErrorsSection>,
         L"Scan and Fix Errors ",
         L"",
         {8, 120, 201, 41}},
        {&TfmMainForm::ToolButtonFor<IePluginsSection>,
         L"IE Plugins                  ",
         L"",
         {8, 168, 201, 41}},
        {&TfmMainForm::ToolButtonFor<BackupSection>, L"Backup and Restore", L"", {8, 216, 201, 41}},
        {&TfmMainForm::ToolButtonFor<HistorySection>,
         L"Restore History         ",
         L"",
         {8, 264, 201, 41}},
        {&TfmMainForm::ToolButtonFor<IgnoreListSection>,
         L"Ignore List                 ",
         L"",
         {8, 312, 201, 41}},
        {&TfmMainForm::ToolButtonFor<AddRemoveSection>,
         L"",
         L"Uninstall Manager",
         {8, 360, 41, 41}},
        {&TfmMainForm::ToolButtonFor<StartupSection>, L"", L"Startup Programs", {56, 360, 41, 41}},
        {&TfmMainForm::ToolButtonFor<MoreToolsSection>, L"", L"More Tools", {104, 360, 41, 41}},
        {&TfmMainForm::ToolButtonFor<IeTracesSection>,
         L"",
         L"IE Traces Cleaning",
         {152, 360, 41, 41}},
    };
    for (const auto& b : buttons) {
        ToolButton& button = (form_.get()->*b.button)();
        EXPECT_EQ(button.Caption(), b.caption);
        EXPECT_EQ(button.Hint(), b.hint);
        const Bounds at = button.Position();
        EXPECT_EQ(std::tuple(at.x, at.y, at.width, at.height),
                  std::tuple(b.bounds.x, b.bounds.y, b.bounds.width, b.bounds.height))
            << button.Caption().c_str() << b.hint;
    }

    RECT page = {};
    GetWindowRect(form_->MainControl().Handle(), &page);
    MapWindowPoints(nullptr, Form(), reinterpret_cast<POINT*>(&page), 2);
    EXPECT_EQ(std::tuple(page.left, page.top, page.right - page.left, page.bottom - page.top),
              std::tuple(213L, 114L, 540L, 343L));
    EXPECT_EQ(form_->AutoRunBox().Text(), L"Autorun when Windows starts");
    EXPECT_EQ(&form_->ShownSection(), &form_->Get<ScanErrorsSection>());
    EXPECT_TRUE(Errors().empty());
}

TEST_F(MainFormTest, EveryListHasItsColumnsAndStyles) {
    Open();
    const struct {
        HWND list;
        std::vector<Column> columns;
        bool gridLines;
        bool keepSelection;
        bool multiSelect;
    } lists[] = {
        {form_->Get<ScanErrorsSection>().lvScanGroups.Handle(),
         {{L"Scan Groups", 300}, {L"Errors", -1}},
         true,
         true,
         false},
        {form_->Get<ScanErrorsSection>().lvErrors.Handle(),
         {{L"Error Type", 130}, {L"Key Name", 150}, {L"Key Value", 140}, {L"Guess Path", -1}},
         true,
         true,
         false},
        {form_->Get<HistorySection>().lvHistory.Handle(),
         {{L"Name", 223}, {L"Type", 200}, {L"Path", -1}},
         true,
         true,
         false},
        {form_->Get<StartupSection>().lvStartup.Handle(),
         {{L"Startup Items", 150}, {L"Command", 210}, {L"Location", -1}},
         true,
         true,
         false},
        {form_->Get<AddRemoveSection>().lvAddRemove.Handle(),
         {{L"Display Name", -1}, {L"Uninstall Path", -1}, {L"Key Name", 1}},
         true,
         true,
         false},
        {form_->Get<IeTracesSection>().lvIE.Handle(),
         {{L"Action", 230}, {L"Restart IE", 70, LVCFMT_CENTER}, {L"Description", -1}},
         true,
         true,
         false},
        {form_->Get<IeTracesSection>().lvDeletedFiles.Handle(),
         {{L"Section", 120}, {L"File Name", 150}, {L"Full Path", -1}},
         true,
         true,
         false},
        {form_->Get<IePluginsSection>().lvBHO.Handle(),
         {{L"Name", -1}, {L"Type", 80}, {L"Registry Entries", 180}, {L"Path", -1}},
         true,
         true,
         true},
        {form_->Get<IgnoreListSection>().lvIgnore.Handle(),
         {{L"Root", 130}, {L"Key Name", 280}, {L"Value", 90}},
         false,
         false,
         false},
    };
    for (const auto& l : lists) {
        const LONG_PTR style = GetWindowLongPtrW(l.list, GWL_STYLE);
        const DWORD extended = ListView_GetExtendedListViewStyle(l.list);
        SCOPED_TRACE(l.columns.front().caption.c_str());
        EXPECT_EQ(style & LVS_TYPEMASK, LVS_REPORT);
        EXPECT_TRUE(style & LVS_OWNERDATA);
        // Result lists sort by a click on a header; the fixed lists do not.
        const bool sortable = l.list != form_->Get<ScanErrorsSection>().lvScanGroups.Handle() &&
                              l.list != form_->Get<IeTracesSection>().lvIE.Handle() &&
                              l.list != form_->Get<IgnoreListSection>().lvIgnore.Handle();
        EXPECT_EQ((style & LVS_NOSORTHEADER) == 0, sortable);
        EXPECT_FALSE(style & LVS_EDITLABELS);
        EXPECT_EQ((style & LVS_SHOWSELALWAYS) != 0, l.keepSelection);
        EXPECT_EQ((style & LVS_SINGLESEL) == 0, l.multiSelect);
        EXPECT_TRUE(extended & LVS_EX_CHECKBOXES);
        EXPECT_TRUE(extended & LVS_EX_FULLROWSELECT);
        EXPECT_EQ((extended & LVS_EX_GRIDLINES) != 0, l.gridLines);

        RECT client = {};
        GetClientRect(l.list, &client);
        int total = 0;
        for (size_t i = 0; i < l.columns.size(); ++i) {
            wchar_t caption[64] = {};
            LVCOLUMNW column = {};
            column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
            column.pszText = caption;
            column.cchTextMax = 64;
            ASSERT_TRUE(ListView_GetColumn(l.list, static_cast<int>(i), &column));
            EXPECT_EQ(caption, l.columns[i].caption);
            EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, l.columns[i].format) << i;
            if (l.columns[i].width >= 0) {
                EXPECT_EQ(column.cx, l.columns[i].width) << i;
            } else {
                EXPECT_GT(column.cx, 40) << i;
            }
            total += column.cx;
        }
        // Auto columns fill the width without needing a horizontal scroll bar.
        EXPECT_LE(total, client.right);
        const bool anyAuto = std::any_of(l.columns.begin(), l.columns.end(),
                                         [](const Column& c) { return c.width < 0; });
        if (anyAuto) {
            EXPECT_GE(total, client.right - GetSystemMetrics(SM_CXVSCROLL) - 4);
        }
    }

    // The uninstall list's hidden column can never be widened.
    const HWND uninstall = form_->Get<AddRemoveSection>().lvAddRemove.Handle();
    ListView_SetColumnWidth(uninstall, 2, 150);
    EXPECT_EQ(ListView_GetColumnWidth(uninstall, 2), 1);
    ListView_SetColumnWidth(uninstall, 2, LVSCW_AUTOSIZE_USEHEADER);
    EXPECT_EQ(ListView_GetColumnWidth(uninstall, 2), 1);
    NMHEADERW drag = {};
    drag.hdr = {ListView_GetHeader(uninstall), 0, HDN_BEGINTRACKW};
    drag.iItem = 2;
    EXPECT_TRUE(SendMessageW(GetParent(uninstall), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&drag)))
        << "the user cannot drag it wider";
    drag.iItem = 0;
    EXPECT_FALSE(SendMessageW(GetParent(uninstall), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&drag)))
        << "the other columns can be dragged";
}

TEST_F(MainFormTest, ButtonsAndFixedTextsAreThereAsAtStart) {
    MarkFirstScanOffered();  // no scan has run: "Fix Errors" stays disabled
    Open();
    auto& scan = form_->Get<ScanErrorsSection>();
    auto& backup = form_->Get<BackupSection>();
    auto& history = form_->Get<HistorySection>();
    auto& startup = form_->Get<StartupSection>();
    auto& uninstall = form_->Get<AddRemoveSection>();
    auto& ie = form_->Get<IeTracesSection>();
    auto& toolbar = form_->Get<IePluginsSection>();
    auto& ignore = form_->Get<IgnoreListSection>();
    const struct {
        Button& button;
        const wchar_t* caption;
        bool enabled;
    } buttons[] = {
        {scan.btnStartScan, L"Start &Scan", true},
        {scan.btnFixSelected, L"Fix &Errors     ", false},
        {scan.btnAdd2Ignore, L"&Add to Ignore List", true},
        {backup.btnBackup, L"Start &Backup", true},
        {backup.btnRestore1, L"Start &Restore", true},
        {backup.btRefresh, L"Resfresh List", true},
        {backup.btDel, L"Delete Restore Point", true},
        {history.btnRestore, L"&Restore", true},
        {history.btnClearUndo, L"&Clear", true},
        {history.btnRefresh2, L"&Refresh", true},
        {history.btnCheckAll1, L"Ch&eck All", true},
        {startup.btnRefresh, L"&Refresh", true},
        {startup.btnApply, L"&Apply", true},
        {startup.btnEnable, L"&Check All", true},
        {startup.btnDisable, L"&UnCheck All", true},
        {uninstall.btnUninstall, L"&Uninstall", false},
        {uninstall.btnDeleteEntry, L"&Delete entries", false},
        {uninstall.btnRefresh1, L"&Refresh", true},
        {uninstall.btnCheckAlll2, L"&Check All", true},
        {ie.btnTempScan, L"&Start Scan", true},
        {ie.btnCleanIE, L"&Cleanup", true},
        {ie.btnCheckIE, L"&Check All", true},
        {ie.btnUncheckIE, L"&Uncheck All", true},
        {toolbar.ScanToolbar_BitBtn, L"Scan Now", true},
        {toolbar.Del_SpeedButton, L"&Delete", true},
        {ignore.btnAdd, L"Add            ", true},
        {ignore.btnRemove, L"Remove    ", true},
        {ignore.btnRefresh6, L"Refresh", true},
        {ignore.btnCheckall2, L"&Check all", true},
        {ignore.btnUncheckall, L"&Uncheck all", true},
    };
    for (const auto& b : buttons) {
        EXPECT_EQ(b.button.Text(), b.caption);
        EXPECT_EQ(b.button.Enabled(), b.enabled) << b.caption;
    }
    for (GroupBox* box : {&scan.gbControlPanel, &backup.gbControlPanel, &history.gbControlPanel,
                          &startup.gbControlPanel, &uninstall.gbControlPanel, &ie.gbControlPanel,
                          &toolbar.gbControlPanel}) {
        EXPECT_EQ(box->Text(), L"&Control Panel ");
    }
    EXPECT_EQ(ignore.gbControlPanel.Text(), L"&Control Panel");
    EXPECT_EQ(ignore.gbRoot.Text(), L"Root");
    EXPECT_EQ(ignore.gbKeyName.Text(), L"Key Name");
    EXPECT_EQ(ignore.gbValue.Text(), L"Value");
    EXPECT_EQ(toolbar.gbDisplay.Text(), L"Display");
    for (auto [box, caption] : {std::pair{&toolbar.DisplayToolbar_CheckBox, L"Toolbar"},
                                {&toolbar.DisplayBHO_CheckBox, L"Browser Extensions"},
                                {&toolbar.DisplayExpBar_CheckBox, L"Explorer Bars"},
                                {&toolbar.DisplayMenuExt_CheckBox, L"Menu Extensions"},
                                {&toolbar.DisplayDownHandle_CheckBox, L"Download Handler"}}) {
        EXPECT_EQ(box->Text(), caption);
        EXPECT_TRUE(box->Checked()) << caption;
    }

    EXPECT_EQ(backup.mWarning.Lines(),
              (std::vector<std::wstring>{
                  L"It is strongly recommended that you make a full backup of the registry prior "
                  L"to any changes you apply to your ",
                  L"system using this software.", L"",
                  L"You can select the backed up registry state to restore your system to from the "
                  L"list above. The list contains restore ",
                  L"points according to backups you have completed at a past date.", L"",
                  L"Go to the 'Backup/Restore' section to restore individual elements erased "
                  L"during the cleaning process."}));
    const LONG_PTR memoStyle = GetWindowLongPtrW(backup.mWarning.Handle(), GWL_STYLE);
    EXPECT_TRUE(memoStyle & ES_READONLY);
    EXPECT_TRUE(memoStyle & ES_AUTOHSCROLL) << "no word wrap";
    EXPECT_EQ(backup.ltbk.Count(), 0u);

    const HWND actions = ie.lvIE.Handle();
    ASSERT_EQ(RowCount(actions), 7);
    const bool checkedAtStart[] = {false, false, true, false, true, false, true};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(ItemChecked(actions, i), checkedAtStart[i]) << i;
    }
    EXPECT_EQ(ItemText(actions, 0, 0), L"Clear the Internet Explorer Typed Address History");
    EXPECT_EQ(ItemText(actions, 6, 2), L"History of Visited URLs");

    PageControl& tools = form_->Get<MoreToolsSection>().pcMoreTools;
    ASSERT_EQ(TabCtrl_GetItemCount(tools.Handle()), 3);
    const wchar_t* const tabs[] = {L"File Extensions Manager", L"UserAssist", L"Drive Cleaner"};
    for (int i = 0; i < 3; ++i) {
        wchar_t caption[64] = {};
        TCITEMW item = {};
        item.mask = TCIF_TEXT;
        item.pszText = caption;
        item.cchTextMax = 64;
        TabCtrl_GetItem(tools.Handle(), i, &item);
        EXPECT_STREQ(caption, tabs[i]);
    }
    EXPECT_EQ(tools.ActivePage(), 0u);
}

TEST_F(MainFormTest, ToolButtonsShowTheirPageAndOnlyThat) {
    Open();
    // In the order Toolbar, Backup, History, IgnoreList, AddRemove, Startup, MoreTools, IE,
    // ScanErrors: every button once, the first section last.
    for (size_t index : {1, 2, 3, 4, 5, 6, 7, 8, 0}) {
        Press(form_->ToolButtonAt(index).Handle());
        EXPECT_EQ(&form_->ShownSection(), &form_->SectionAt(index));
        EXPECT_EQ(VisiblePages(), std::vector<size_t>{index});
        for (size_t i = 0; i < form_->SectionCount(); ++i) {
            EXPECT_EQ(form_->ToolButtonAt(i).Selected(), i == index);
        }
    }
    EXPECT_TRUE(Errors().empty());
}

TEST_F(MainFormTest, ScanErrorsButtonRebuildsTheGroupsOnlyWhileNoErrorIsListed) {
    Open();
    const HWND groups = form_->Get<ScanErrorsSection>().lvScanGroups.Handle();
    ASSERT_EQ(RowCount(groups), 13);
    EXPECT_EQ(ItemText(groups, 12, 0), L"Invalid device drivers (VxD)");
    EXPECT_EQ(ItemText(groups, 12, 1), L"0");
    ClickCheckBox(groups, 2);
    EXPECT_FALSE(ItemChecked(groups, 2));
    EXPECT_FALSE(form_->Get<ScanErrorsSection>().scanGroups.Checked(2));
    form_->Get<ScanErrorsSection>().scanGroups.SetCell(3, 1, L"4");

    // A scan found something: the groups keep their marks and counts.
    form_->Get<ScanErrorsSection>().errors.Add(ErrorRow{
        L"Invalid Application Path", L"HKEY_LOCAL_MACHINE\\SOFTWARE\\x", L"x.exe", L"x.exe"});
    Press(form_->ToolButtonFor<IgnoreListSection>().Handle());
    Press(form_->ToolButtonFor<ScanErrorsSection>().Handle());
    EXPECT_FALSE(ItemChecked(groups, 2));
    EXPECT_EQ(ItemText(groups, 3, 1), L"4");

    // Nothing found (or everything fixed): every group checked at "0" again.
    form_->Get<ScanErrorsSection>().errors.Clear();
    Press(form_->ToolButtonFor<ScanErrorsSection>().Handle());
    EXPECT_TRUE(ItemChecked(groups, 2));
    EXPECT_EQ(ItemText(groups, 3, 1), L"0");
}

TEST_F(MainFormTest, ErrorListIsVirtualAndSortedByType) {
    Open();
    ErrorListModel& errors = form_->Get<ScanErrorsSection>().errors;
    {
        ListModel::Batch batch(errors);
        for (int i = 0; i < 100000; ++i) {
            errors.Add(ErrorRow{i % 2 ? L"Missing Shared DLL" : L"Invalid CLSID",
                                L"HKEY_CLASSES_ROOT\\CLSID\\" + std::to_wstring(i), L"v", L"p"});
        }
    }
    Settle();
    const HWND list = form_->Get<ScanErrorsSection>().lvErrors.Handle();
    ASSERT_EQ(RowCount(list), 100000);
    EXPECT_EQ(ItemText(list, 0, 0), L"Invalid CLSID");
    EXPECT_EQ(ItemText(list, 0, 1), L"HKEY_CLASSES_ROOT\\CLSID\\0");
    EXPECT_EQ(ItemText(list, 49999, 1), L"HKEY_CLASSES_ROOT\\CLSID\\99998");
    EXPECT_EQ(ItemText(list, 50000, 0), L"Missing Shared DLL");
    EXPECT_EQ(ItemText(list, 99999, 1), L"HKEY_CLASSES_ROOT\\CLSID\\99999");
    EXPECT_TRUE(ItemChecked(list, 0));
    ClickCheckBox(list, 0);
    EXPECT_FALSE(errors.Checked(0));
    EXPECT_FALSE(ItemChecked(list, 0));
    EXPECT_TRUE(errors.Checked(1));
}

TEST_F(MainFormTest, IgnoreListIsFilledFromIgnoreXml) {
    WriteFileBytes(temp_ / L"ignore.xml",
                   "<?xml version=\"1.0\"?>\r\n<IgnoreList>"
                   "<ERROR ROOT=\"HKEY_LOCAL_MACHINE\" KEY=\"SOFTWARE\\Microsoft\\Windows\" "
                   "VALUE=\"a.dll\"/>"
                   "<ERROR ROOT=\"HKLM\" KEY=\"\" VALUE=\"b\"/></IgnoreList>");
    Open();
    const HWND list = form_->Get<IgnoreListSection>().lvIgnore.Handle();
    ASSERT_EQ(RowCount(list), 2);
    EXPECT_EQ(ItemText(list, 0, 0), L"HKEY_LOCAL_MACHINE");
    EXPECT_EQ(ItemText(list, 0, 1), L"SOFTWARE\\Microsoft\\Windows");
    EXPECT_EQ(ItemText(list, 0, 2), L"a.dll");
    EXPECT_EQ(ItemText(list, 1, 0), L"HKLM");
    EXPECT_FALSE(ItemChecked(list, 0));
    // Opening the section keeps rows that are there.
    Press(form_->ToolButtonFor<IgnoreListSection>().Handle());
    EXPECT_EQ(RowCount(list), 2);
}

TEST_F(MainFormTest, IgnoreSectionRefillsAnEmptyList) {
    Open();
    const HWND list = form_->Get<IgnoreListSection>().lvIgnore.Handle();
    EXPECT_EQ(RowCount(list), 0);
    XmlElement entry = form_->IgnoreXmlDocument().Root().AppendChild(L"ERROR");
    entry.SetAttribute(L"ROOT", L"HKEY_USERS");
    entry.SetAttribute(L"KEY", L".DEFAULT");
    entry.SetAttribute(L"VALUE", L"x");
    Press(form_->ToolButtonFor<IgnoreListSection>().Handle());
    ASSERT_EQ(RowCount(list), 1);
    EXPECT_EQ(ItemText(list, 0, 1), L".DEFAULT");
}

TEST_F(MainFormTest, AutorunBoxWritesAndFollowsTheRunValue) {
    Open();
    CheckBox& box = form_->AutoRunBox();
    EXPECT_FALSE(box.Checked());
    box.Click();
    EXPECT_EQ(RunValue(), ExecutablePath());
    box.Click();
    EXPECT_EQ(RunValue(), L"<none>");
    box.Click();
    form_.reset();

    Open();  // started again: the box shows the stored path is ours
    EXPECT_TRUE(form_->AutoRunBox().Checked());
    form_.reset();

    SetAutorun(true, L"C:\\Elsewhere\\kestrova.exe");  // the program was moved since
    Open();
    EXPECT_FALSE(form_->AutoRunBox().Checked());
    form_->AutoRunBox().Click();
    EXPECT_EQ(RunValue(), ExecutablePath());
    EXPECT_TRUE(Errors().empty());
}

TEST_F(MainFormTest, CloseBoxHidesToTheTrayAndTheIconBringsTheWindowBack) {
    Open();
    EXPECT_TRUE(form_->Tray().Visible());
    const HWND groups = form_->Get<ScanErrorsSection>().lvScanGroups.Handle();
    ClickCheckBox(groups, 0);
    ASSERT_FALSE(ItemChecked(groups, 0));

    SendMessageW(Form(), WM_SYSCOMMAND, SC_CLOSE, 0);
    Settle();
    EXPECT_TRUE(IsWindow(Form()));
    EXPECT_FALSE(IsWindowVisible(Form()));
    EXPECT_TRUE(form_->Tray().MinimizeToTray());
    EXPECT_FALSE(closed_);
    // Minimising meanwhile keeps it in the tray.
    SendMessageW(Form(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_FALSE(IsWindowVisible(Form()));

    SendMessageW(Form(), TfmMainForm::kTrayMessage, 1, WM_LBUTTONDBLCLK);
    Settle();
    EXPECT_TRUE(IsWindowVisible(Form()));
    EXPECT_FALSE(IsIconic(Form()));
    EXPECT_FALSE(form_->Tray().MinimizeToTray());
    EXPECT_TRUE(ItemChecked(groups, 0)) << "showing the window rebuilds the scan groups";

    // Minimised to the taskbar (not the tray), the menu's first item restores it too.
    ShowWindow(Form(), SW_MINIMIZE);
    Settle();
    EXPECT_TRUE(IsWindowVisible(Form()));
    SendMessageW(Form(), WM_COMMAND, TrayMenu::kRestoreCommand, 0);
    Settle();
    EXPECT_FALSE(IsIconic(Form()));
    EXPECT_TRUE(IsWindowVisible(Form()));
    EXPECT_TRUE(Errors().empty());
}

TEST_F(MainFormTest, TrayIconAndMenuComeBackWithTheTaskbar) {
    Open();
    NOTIFYICONDATAW probe = {};
    probe.cbSize = sizeof(probe);
    probe.hWnd = Form();
    probe.uID = 1;
    EXPECT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &probe)) << "the shell holds the icon";

    // Explorer restarted: its icons are gone until each program adds its own again.
    Shell_NotifyIconW(NIM_DELETE, &probe);
    ASSERT_FALSE(Shell_NotifyIconW(NIM_MODIFY, &probe));
    SendMessageW(Form(), TrayIcon::TaskbarCreatedMessage(), 0, 0);
    EXPECT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &probe));
    EXPECT_TRUE(form_->Tray().Visible());

    const HMENU menu = form_->PopupMenu().Handle();
    ASSERT_EQ(GetMenuItemCount(menu), 2);
    wchar_t text[64] = {};
    GetMenuStringW(menu, 0, text, 64, MF_BYPOSITION);
    EXPECT_STREQ(text, L"Kestrova PC Optimizer");
    GetMenuStringW(menu, 1, text, 64, MF_BYPOSITION);
    EXPECT_STREQ(text, L"Exit");

    Exit();
    EXPECT_FALSE(Shell_NotifyIconW(NIM_MODIFY, &probe)) << "the icon goes with the program";
}

TEST_F(MainFormTest, FirstStartInAnEmptyFolder) {
    Open();
    EXPECT_TRUE(Errors().empty());
    EXPECT_TRUE(IsExistingFolder(temp_ / L"Backup"));
    EXPECT_FALSE(FileExists(temp_ / L"Backup.xml"));
    EXPECT_EQ(RowCount(form_->Get<IgnoreListSection>().lvIgnore.Handle()), 0);
    EXPECT_EQ(dialogs_.Texts(ShownDialog::Kind::Message),
              std::vector<std::wstring>{kFirstScanMessage});

    // Later activations stay quiet.
    SendMessageW(Form(), WM_ACTIVATE, WA_ACTIVE, 0);
    Settle();
    EXPECT_EQ(dialogs_.Count(ShownDialog::Kind::Message), 1u);

    Exit();
    EXPECT_TRUE(closed_);
    EXPECT_FALSE(IsWindow(Form()));
    XmlDocument saved;
    saved.Load(temp_ / L"Backup.xml");
    EXPECT_EQ(saved.Root().Tag(), L"Kestrova");
    EXPECT_EQ(saved.Root().ChildCount(), 0u);
    EXPECT_FALSE(FileExists(temp_ / L"ignore.xml")) << "nothing else is written at the end";
}

TEST_F(MainFormTest, MalformedIgnoreXmlIsReportedKeptAsideAndTheWindowOpens) {
    const std::string malformed = "<IgnoreList><ERROR ROOT=\"HKEY_USERS\"";
    WriteFileBytes(temp_ / L"ignore.xml", malformed);
    WriteFileBytes(temp_ / L"Backup.xml",
                   "<Kestrova><ELEMENT NAME=\"n\" TYPE=\"t\" PATH=\"p\"/></Kestrova>");
    Open();
    ASSERT_EQ(Errors().size(), 1u);
    const std::wstring aside = form_->IgnoreXmlDocument().SetAsidePath();
    ASSERT_FALSE(aside.empty());
    EXPECT_NE(Errors()[0].find(aside), std::wstring::npos);
    EXPECT_EQ(ReadFileBytes(aside), malformed);
    EXPECT_FALSE(FileExists(temp_ / L"ignore.xml"));
    EXPECT_TRUE(IsWindowVisible(Form()));
    EXPECT_EQ(RowCount(form_->Get<IgnoreListSection>().lvIgnore.Handle()), 0);

    // The restore history was read all the same and is saved back whole.
    Exit();
    XmlDocument saved;
    saved.Load(temp_ / L"Backup.xml");
    EXPECT_EQ(saved.Root().ChildCount(), 1u);
}

TEST_F(MainFormTest, UnreadableBackupXmlStillLetsTheIgnoreListLoad) {
    WriteFileBytes(temp_ / L"Backup.xml", "garbage");
    WriteFileBytes(temp_ / L"ignore.xml",
                   "<IgnoreList><ERROR ROOT=\"HKEY_USERS\" KEY=\"k\" VALUE=\"v\"/></IgnoreList>");
    Open();
    ASSERT_EQ(Errors().size(), 1u);
    const std::wstring aside = form_->RestoreXmlDocument().SetAsidePath();
    EXPECT_NE(Errors()[0].find(aside), std::wstring::npos);
    EXPECT_EQ(RowCount(form_->Get<IgnoreListSection>().lvIgnore.Handle()), 1);

    Exit();
    XmlDocument saved;
    saved.Load(temp_ / L"Backup.xml");
    EXPECT_EQ(saved.Root().Tag(), L"Kestrova");
    EXPECT_EQ(saved.Root().ChildCount(), 0u);
    EXPECT_EQ(ReadFileBytes(aside), "garbage");
}

TEST_F(MainFormTest, IgnoreEntryLackingAnAttributeIsReported) {
    WriteFileBytes(temp_ / L"ignore.xml",
                   "<IgnoreList><ERROR ROOT=\"HKEY_USERS\" KEY=\"k\" VALUE=\"v\"/>"
                   "<ERROR ROOT=\"HKEY_USERS\" VALUE=\"w\"/></IgnoreList>");
    Open();
    ASSERT_EQ(Errors().size(), 1u);
    EXPECT_NE(Errors()[0].find(L"KEY"), std::wstring::npos);
    EXPECT_EQ(RowCount(form_->Get<IgnoreListSection>().lvIgnore.Handle()), 1);
    EXPECT_TRUE(IsWindowVisible(Form()));
}

TEST_F(MainFormTest, FailedSaveAtClosingKeepsTheProgramRunning) {
    Open();
    // Something else took the name: Backup.xml is a folder.
    ASSERT_TRUE(CreateDirectoryW((temp_ / L"Backup.xml").c_str(), nullptr));
    Exit();
    ASSERT_EQ(Errors().size(), 1u);
    EXPECT_TRUE(IsWindow(Form()));
    EXPECT_TRUE(IsWindowVisible(Form()));
    EXPECT_FALSE(closed_);
    EXPECT_TRUE(form_->Tray().Visible());
    Press(form_->ToolButtonFor<HistorySection>().Handle());
    EXPECT_EQ(&form_->ShownSection(), &form_->Get<HistorySection>());

    RemoveDirectoryW((temp_ / L"Backup.xml").c_str());
    Exit();
    EXPECT_TRUE(closed_);
    EXPECT_TRUE(FileExists(temp_ / L"Backup.xml"));
}

TEST_F(MainFormTest, BackupSectionMakesTheBackupFolderAgain) {
    Open();
    ASSERT_TRUE(RemoveDirectoryW((temp_ / L"Backup").c_str()));
    Press(form_->ToolButtonFor<BackupSection>().Handle());
    EXPECT_TRUE(IsExistingFolder(temp_ / L"Backup"));
    EXPECT_EQ(&form_->ShownSection(), &form_->Get<BackupSection>());
    EXPECT_EQ(form_->Get<BackupSection>().BackupFolder(), temp_ / L"Backup");
}

TEST_F(MainFormTest, StateKeyThatCannotBeWrittenIsReportedOnlyOnce) {
    {
        Registry reg(HKEY_LOCAL_MACHINE);
        ASSERT_TRUE(reg.OpenKey(kProgramStateKeyPath, true));
        reg.WriteInteger(kActivatedFirstScanValue, 1);  // not text: cannot be read
    }
    Open();
    EXPECT_EQ(Errors().size(), 1u);
    for (int i = 0; i < 3; ++i) {
        SendMessageW(Form(), WM_ACTIVATE, WA_ACTIVE, 0);
        Settle();
    }
    EXPECT_EQ(Errors().size(), 1u);
    EXPECT_EQ(dialogs_.Count(ShownDialog::Kind::Message), 0u) << "no scan is offered";
}

}  // namespace
}  // namespace kestrova
