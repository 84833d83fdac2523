// The File Extensions Manager page of the main window over a sandboxed classes root: the read's
// rows and progress, every button and pop-up menu item, the two dialogs answered by a script
// (and once the real "Add New Extension" window), backups and restores by the real registry
// editor on the sandbox's keys.
#include <windows.h>
#include <commctrl.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "app/file_extensions_frame.h"
#include "ext_info_printer.h"
#include "main_form_fixture.h"
#include "platform/text.h"
#include "platform/ui_channel.h"
#include "sandbox_registry_editor.h"

namespace kestrova {
namespace {

using namespace test;

class ScriptedExtensionDialogs final : public IExtensionDialogs {
public:
    std::optional<TExtInfo> AddExtension() override {
        ++addShown;
        return Take(addAnswers);
    }
    std::optional<ExtensionCommand> ChangeExtension(const ExtensionCommand& current) override {
        changeShown.push_back(current);
        return Take(changeAnswers);
    }

    std::deque<std::optional<TExtInfo>> addAnswers;
    std::deque<std::optional<ExtensionCommand>> changeAnswers;
    size_t addShown = 0;
    std::vector<ExtensionCommand> changeShown;

private:
    template <typename T>
    static std::optional<T> Take(std::deque<std::optional<T>>& answers) {
        if (answers.empty()) {
            ADD_FAILURE() << "a dialog without an answer";
            return std::nullopt;
        }
        std::optional<T> answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

class FileExtensionsFrameTest : public MainFormTest {
protected:
    void OpenPage(bool scriptedDialogs = true) {
        MarkFirstScanOffered();
        Open();
        FileAssociatorOptions options;
        options.tempFolder = temp_.Path();
        options.registryEditor = SandboxRegistryEditor(registry_);
        Frame().SetStoreOptions(std::move(options));
        if (scriptedDialogs) {
            Frame().SetExtensionDialogs(extensionDialogs_);
        }
        Press(form_->ToolButtonFor<MoreToolsSection>().Handle());
        ASSERT_TRUE(Frame().lvExtensions.Visible());
    }
    TfrmFileAssociator& Frame() { return form_->Get<MoreToolsSection>().Get<TfrmFileAssociator>(); }
    HWND List() { return Frame().lvExtensions.Handle(); }
    // The command of a pop-up menu item, as the menu sends it.
    void Menu(UINT command) {
        SendMessageW(GetParent(List()), WM_COMMAND, command, 0);
        Settle();
    }
    void WaitForRead() {
        ASSERT_TRUE(PumpMessagesUntil([this] { return !Frame().ReadRunning(); }));
        Settle();
    }
    void Refresh() {
        Frame().btnRefresh.Click();
        WaitForRead();
    }
    std::vector<std::wstring> Messages() const {
        return dialogs_.Texts(ShownDialog::Kind::Message);
    }
    std::vector<std::wstring> Row(int row) {
        return {ItemText(List(), row, 0), ItemText(List(), row, 1), ItemText(List(), row, 2),
                ItemText(List(), row, 3)};
    }
    int SelectedListRow() { return ListView_GetNextItem(List(), -1, LVNI_SELECTED); }
    // Clicks a row with the mouse, which selects it.
    void ClickRow(int row, bool twice = false) {
        RECT bounds = {};
        ASSERT_TRUE(ListView_GetItemRect(List(), row, &bounds, LVIR_LABEL));
        const LPARAM at = MAKELPARAM(bounds.left + 4, (bounds.top + bounds.bottom) / 2);
        PostMessageW(List(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageW(List(), WM_LBUTTONUP, 0, at);
        if (twice) {
            PostMessageW(List(), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
            PostMessageW(List(), WM_LBUTTONUP, 0, at);
        }
        Settle();
    }
    void Search(int by, const std::wstring& keyword) {
        Frame().cboSearchBy.Select(by);
        Frame().lblSearch.SetText(keyword);
        Frame().btnSearch.Click();
    }

    ScriptedExtensionDialogs extensionDialogs_;
};

TEST_F(FileExtensionsFrameTest, TheReadBringsEveryExtensionInOrderWithItsProgress) {
    // More rows than one batch of the worker holds, and keys that are no extension among them.
    const int count = 700;
    TFileAssociator setup;
    for (int i = 0; i < count; ++i) {
        const std::wstring n = std::to_wstring(1000 + i);
        setup.WriteAssociation(i % 10 == 0 ? TExtInfo{L".e" + n, L"", L"", L"", L""}
                                           : TExtInfo{L".e" + n, L"t" + n, L"Type " + n,
                                                      L"app" + n + L".exe %1", L"app.exe," + n});
    }
    for (const wchar_t* other : {L"CLSID", L"Folder", L"*"}) {
        ASSERT_TRUE(Registry(HKEY_CLASSES_ROOT).OpenKey(std::wstring(L"\\") + other, true));
    }
    std::vector<TExtInfo> expected;
    AssociationReadEvents events;
    events.onReadItem = [&expected](const TExtInfo& info) { expected.push_back(info); };
    setup.ReadAll(events);
    ASSERT_EQ(expected.size(), static_cast<size_t>(count));

    OpenPage();
    TfrmFileAssociator& frame = Frame();
    EXPECT_EQ(frame.gbPanel.Text(), L"Panel");
    const std::pair<Control*, const wchar_t*> captions[] = {
        {&frame.btnRefresh, L"&Refresh"},
        {&frame.btnDelete, L"&Delete"},
        {&frame.btnBackup, L"&Backup"},
        {&frame.btnRestore, L"&Restore"},
        {&frame.btnAdd, L"&Add"},
        {&frame.btnChange, L"&Change"},
        {&frame.btnSearch, L"&Search"},
        {&frame.lblSearchBy, L"Search &By:"},
        {&frame.lblSearch.label, L"Search &Keyword:"}};
    for (const auto& [control, caption] : captions) {
        EXPECT_EQ(control->Text(), caption);
    }
    ASSERT_EQ(frame.cboSearchBy.Count(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        const wchar_t* const fields[] = {L"Extension", L"Description", L"Path", L"Icon"};
        EXPECT_EQ(frame.cboSearchBy.Item(i), fields[i]);
    }
    EXPECT_EQ(frame.cboSearchBy.Selected(), 0);
    const HWND header = ListView_GetHeader(List());
    ASSERT_EQ(Header_GetItemCount(header), 4);
    for (int i = 0; i < 4; ++i) {
        const wchar_t* const columns[] = {L"File Extension", L"Description", L"File Path",
                                          L"File Icon"};
        wchar_t text[64] = {};
        HDITEMW item = {};
        item.mask = HDI_TEXT;
        item.pszText = text;
        item.cchTextMax = 64;
        Header_GetItem(header, i, &item);
        EXPECT_STREQ(text, columns[i]);
    }
    std::vector<std::wstring> menu;
    for (int i = 0; i < GetMenuItemCount(frame.pmExtension.Handle()); ++i) {
        wchar_t text[64] = {};
        GetMenuStringW(frame.pmExtension.Handle(), static_cast<UINT>(i), text, 64, MF_BYPOSITION);
        menu.push_back(
            GetMenuState(frame.pmExtension.Handle(), static_cast<UINT>(i), MF_BYPOSITION) &
                    MF_SEPARATOR
                ? L"-"
                : text);
    }
    EXPECT_EQ(menu, (std::vector<std::wstring>{L"Delete", L"-", L"Backup", L"Restore", L"-", L"Add",
                                               L"Change", L"-", L"Refresh"}));
    EXPECT_EQ(RowCount(List()), 0) << "nothing is read before the first refresh";

    // Whenever the window thread looks, the progress bar stands at the rows received.
    frame.btnRefresh.Click();
    EXPECT_TRUE(frame.ReadRunning());
    size_t looks = 0;
    size_t outOfStep = 0;
    ASSERT_TRUE(PumpMessagesUntil([&] {
        if (frame.rows.RowCount() > 0) {
            ++looks;
            if (static_cast<size_t>(frame.prgbarExtensions.Position()) != frame.rows.RowCount() ||
                frame.prgbarExtensions.Maximum() != count ||
                static_cast<size_t>(RowCount(List())) > frame.rows.RowCount()) {
                ++outOfStep;
            }
        }
        return !frame.ReadRunning();
    }));
    Settle();
    EXPECT_GT(looks, 0u);
    EXPECT_EQ(outOfStep, 0u);
    ASSERT_EQ(RowCount(List()), count);
    EXPECT_EQ(frame.prgbarExtensions.Position(), count);
    EXPECT_EQ(frame.rows.Rows(), expected) << "in the registry's order, with their places";
    EXPECT_EQ(Row(1), (std::vector<std::wstring>{L".e1001", L"Type 1001", L"app1001.exe %1",
                                                 L"app.exe,1001"}));
    EXPECT_EQ(Row(0), (std::vector<std::wstring>{L".e1000", L"", L"", L""}));

    // A second refresh lists them again from an emptied list.
    Refresh();
    EXPECT_EQ(RowCount(List()), count);
    EXPECT_EQ(frame.rows.Rows(), expected);
    EXPECT_TRUE(Errors().empty());
}

TEST_F(FileExtensionsFrameTest, EveryButtonAndMenuItemDoesItsPart) {
    TFileAssociator setup;
    setup.WriteAssociation({L".aaa", L"aaafile", L"First kind", L"first.exe %1", L"first.ico"});
    setup.WriteAssociation({L".zzz", L"zzzfile", L"Last kind", L"last.exe %1", L""});
    OpenPage();
    TfrmFileAssociator& frame = Frame();
    const TExtInfo kxt{L".kxt", L"kxtfile", L"K file", L"\"C:\\K\\k.exe\" \"%1\"", L"k.exe,1"};

    // Before any read, and without a keyword.
    Search(0, L"a");
    Search(0, L"");
    EXPECT_EQ(Messages(),
              (std::vector<std::wstring>{L"Not found !", L"Please Enter Search Keyword !"}));
    dialogs_.shown.clear();

    // Nothing selected: delete, backup and change do nothing.
    for (Button* button : {&frame.btnDelete, &frame.btnBackup, &frame.btnChange}) {
        button->Click();
    }
    for (UINT command : {ExtensionMenu::kDeleteCommand, ExtensionMenu::kBackupCommand,
                         ExtensionMenu::kChangeCommand}) {
        Menu(command);
    }
    EXPECT_TRUE(dialogs_.shown.empty());
    EXPECT_TRUE(extensionDialogs_.changeShown.empty());

    // Added (cancelled once); the list shows it only after a refresh.
    extensionDialogs_.addAnswers = {std::nullopt, kxt};
    frame.btnAdd.Click();
    Menu(ExtensionMenu::kAddCommand);
    EXPECT_EQ(extensionDialogs_.addShown, 2u);
    EXPECT_EQ(Messages(), std::vector<std::wstring>{L"Your Extension was added"});
    EXPECT_EQ(setup.ReadAssociation(L".kxt"), kxt);
    EXPECT_EQ(RowCount(List()), 0);
    Menu(ExtensionMenu::kRefreshCommand);
    WaitForRead();
    ASSERT_EQ(RowCount(List()), 3);
    EXPECT_EQ(Row(1), (std::vector<std::wstring>{L".kxt", L"K file", kxt.filePath, L"k.exe,1"}));

    // Searched: capitals or not, anywhere in the field, always from the first row.
    dialogs_.shown.clear();
    Search(0, L"KX");
    EXPECT_EQ(SelectedListRow(), 1);
    ClickRow(2);
    Search(1, L"kind");
    EXPECT_EQ(SelectedListRow(), 0) << "the first match, whatever was selected";
    Search(2, L"K FILE");  // only the description holds it
    Search(3, L"FIRST.ICO");
    EXPECT_EQ(SelectedListRow(), 0);
    // Enter in the keyword box searches.
    frame.cboSearchBy.Select(2);
    frame.lblSearch.SetText(L"LAST.exe");
    SendMessageW(frame.lblSearch.Handle(), WM_CHAR, L'\r', 1);
    EXPECT_EQ(SelectedListRow(), 2);
    EXPECT_EQ(Messages(), (std::vector<std::wstring>{L"Found !", L"Found !", L"Not found !",
                                                     L"Found !", L"Found !"}));
    dialogs_.shown.clear();

    // Changed by a double click: the dialog gets the command and icon as read now.
    {
        Registry reg(HKEY_CLASSES_ROOT);
        ASSERT_TRUE(reg.OpenKey(L"\\kxtfile\\DefaultIcon", false));
        reg.WriteString(L"", L"k.exe,4");
    }
    extensionDialogs_.changeAnswers = {std::nullopt, ExtensionCommand{L"k2.exe \"%1\"", L""}};
    ClickRow(1, true);
    Menu(ExtensionMenu::kChangeCommand);
    EXPECT_EQ(
        extensionDialogs_.changeShown,
        (std::vector<ExtensionCommand>{{kxt.filePath, L"k.exe,4"}, {kxt.filePath, L"k.exe,4"}}));
    EXPECT_EQ(Messages(), std::vector<std::wstring>{L"Your Extension was changed"});
    EXPECT_EQ(setup.ReadAssociation(L".kxt"),
              (TExtInfo{L".kxt", L"kxtfile", L"K file", L"k2.exe \"%1\"", L"k.exe,4"}))
        << "an empty icon leaves the icon as it was";
    EXPECT_EQ(Row(1), (std::vector<std::wstring>{L".kxt", L"K file", L"k2.exe \"%1\"", L""}));
    dialogs_.shown.clear();

    // Backed up (".dat" always appended), deleted, restored from the file.
    dialogs_.fileAnswers = {std::nullopt, temp_ / L"kxt.dat"};
    ClickRow(1);
    frame.btnBackup.Click();
    Menu(ExtensionMenu::kBackupCommand);
    const std::wstring backup = temp_ / L"kxt.dat.dat";
    EXPECT_TRUE(FileExists(backup));
    // Deleted through the list's pop-up menu: opened by the menu key, its first item taken
    // with the keys a user presses.
    PostMessageW(List(), WM_KEYDOWN, VK_DOWN, 0x01500001);
    PostMessageW(List(), WM_KEYDOWN, VK_RETURN, 0x001C0001);
    SendMessageW(List(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(List()), -1);
    Settle();
    EXPECT_FALSE(setup.HasExtension(L".kxt"));
    EXPECT_FALSE(Registry(HKEY_CLASSES_ROOT).KeyExists(L"\\kxtfile"));
    ASSERT_EQ(RowCount(List()), 2);
    EXPECT_EQ(ItemText(List(), 1, 0), L".zzz");
    dialogs_.fileAnswers = {std::nullopt, backup};
    frame.btnRestore.Click();
    Menu(ExtensionMenu::kRestoreCommand);
    EXPECT_EQ(setup.ReadAssociation(L".kxt"),
              (TExtInfo{L".kxt", L"kxtfile", L"K file", L"k2.exe \"%1\"", L"k.exe,4"}));
    EXPECT_EQ(RowCount(List()), 2) << "a restore leaves the list as it is";
    EXPECT_EQ(Messages(), (std::vector<std::wstring>{L"Saved to: " + backup, L"Deleted !",
                                                     L"Restored from: " + backup}));
    for (const ShownDialog& dialog : dialogs_.shown) {
        if (dialog.kind == ShownDialog::Kind::SaveFile ||
            dialog.kind == ShownDialog::Kind::OpenFile) {
            EXPECT_EQ(dialog.filter, L"Registry Backup (*.dat)|*.dat");
        }
    }
    EXPECT_EQ(dialogs_.Count(ShownDialog::Kind::OpenFile), 2u);
    EXPECT_TRUE(Errors().empty());

    // A file that is no association backup: the store's refusal is shown, no success message.
    dialogs_.shown.clear();
    WriteFileBytes(temp_ / L"other.dat", "not a backup at all");
    dialogs_.fileAnswers = {temp_ / L"other.dat"};
    frame.btnRestore.Click();
    EXPECT_EQ(Errors().size(), 1u);
    EXPECT_TRUE(Messages().empty());
}

// A refresh during a read lists everything once; DoneFrame during a read lets it end, and a
// closing that did not end the program leaves the page working.
TEST_F(FileExtensionsFrameTest, ARefreshOrAClosingDuringAReadLeavesAWholeListAndAWorkingPage) {
    TFileAssociator setup;
    for (int i = 0; i < 2000; ++i) {
        setup.WriteAssociation({L".c" + std::to_wstring(i), L"", L"", L"", L""});
    }
    std::vector<TExtInfo> expected;
    AssociationReadEvents events;
    events.onReadItem = [&expected](const TExtInfo& info) { expected.push_back(info); };
    setup.ReadAll(events);
    OpenPage();
    TfrmFileAssociator& frame = Frame();

    frame.btnRefresh.Click();
    ASSERT_TRUE(PumpMessagesUntil([&frame] { return frame.rows.RowCount() > 0; }));
    ASSERT_TRUE(frame.ReadRunning()) << "the first rows came before the read's end";
    frame.btnRefresh.Click();
    WaitForRead();
    EXPECT_EQ(frame.rows.Rows(), expected);
    EXPECT_EQ(RowCount(List()), 2000);

    ASSERT_TRUE(CreateDirectoryW((temp_ / L"Backup.xml").c_str(), nullptr));  // cannot be saved
    frame.btnRefresh.Click();
    Exit();
    EXPECT_FALSE(closed_);
    EXPECT_EQ(Errors().size(), 1u);
    EXPECT_FALSE(frame.HasStore());
    WaitForRead();

    Refresh();
    EXPECT_TRUE(frame.HasStore());
    EXPECT_EQ(frame.rows.Rows(), expected);
    RemoveDirectoryW((temp_ / L"Backup.xml").c_str());
}

// The real "Add New Extension" window, shown by the page's button and typed into.
TEST_F(FileExtensionsFrameTest, TheRealAddDialogAddsWhatIsTypedIntoIt) {
    OpenPage(false);
    UiChannel channel;
    bool typed = false;
    channel.Post([&typed] {
        const HWND dialog = FindWindowW(L"KestrovaDialog", L"Add New Extension");
        ASSERT_NE(dialog, nullptr);
        std::vector<HWND> edits;
        for (HWND child = GetWindow(dialog, GW_CHILD); child;
             child = GetWindow(child, GW_HWNDNEXT)) {
            wchar_t className[32] = {};
            GetClassNameW(child, className, 32);
            if (lstrcmpiW(className, L"Edit") == 0) {
                edits.push_back(child);
            }
        }
        ASSERT_EQ(edits.size(), 5u);
        const wchar_t* const texts[] = {L".kxt", L"kxtfile", L"K file", L"k.exe %1", L"k.ico"};
        for (size_t i = 0; i < 5; ++i) {
            for (const wchar_t* c = texts[i]; *c; ++c) {
                PostMessageW(edits[i], WM_CHAR, *c, 1);
            }
        }
        PostMessageW(edits[2], WM_CHAR, L'\r', 1);
        typed = true;
    });
    Frame().btnAdd.Click();
    EXPECT_TRUE(typed);
    EXPECT_EQ(Messages(), std::vector<std::wstring>{L"Your Extension was added"});
    EXPECT_EQ(TFileAssociator().ReadAssociation(L".kxt"),
              (TExtInfo{L".kxt", L"kxtfile", L"K file", L"k.exe %1", L"k.ico"}));
    EXPECT_TRUE(IsWindowEnabled(Form())) << "the main window is back";
}

}  // namespace
}  // namespace kestrova
