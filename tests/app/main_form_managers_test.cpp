// The startup programs and uninstall manager sections of the main window, over a sandboxed
// registry: every button is pressed as a user would, and the registry is read back after it.
#include <string>
#include <vector>

#include "main_form_fixture.h"
#include "managers/startup_approved.h"
#include "managers/startup_entries.h"
#include "managers/uninstall_entries.h"
#include "platform/text.h"

namespace kestrova {
namespace {

using namespace test;

const std::wstring kRun = kRunKey;
const std::wstring kRecords = kStartupRecordsKey;
const std::wstring kUninstall = kUninstallKey;
const std::wstring kHklmRun = L"HKLM\\" + kRun;
const std::wstring kHkcuRun = L"HKCU\\" + kRun;
constexpr wchar_t kRestartMessage[] = L"You must restart the computer to apply the changes.";
constexpr int kWindows98 = 2;
constexpr int kWindowsXp = 6;

// The value's text, or "<none>" when the key or the value is missing.
std::wstring TextIn(HKEY root, const std::wstring& key, const std::wstring& name) {
    Registry reg(root);
    return reg.OpenKeyReadOnly(L"\\" + key) && reg.ValueExists(name) ? reg.ReadString(name)
                                                                     : L"<none>";
}

class MainFormStartupTest : public MainFormTest {
protected:
    void OpenStartup() {
        MarkFirstScanOffered();
        Open();
        Page().UseVersionClass([this] { return versionClass_; });
        Press(form_->ToolButtonFor<StartupSection>().Handle());
        ASSERT_EQ(&form_->ShownSection(), &Page());
    }
    StartupSection& Page() { return form_->Get<StartupSection>(); }
    HWND List() { return Page().lvStartup.Handle(); }
    Rows ShownRows() { return Shown(List(), 3); }
    void Click(Button& button) {
        button.Click();
        Settle();
    }
    size_t RestartMessages() {
        size_t count = 0;
        for (const ShownDialog& dialog : dialogs_.shown) {
            EXPECT_EQ(dialog.kind, ShownDialog::Kind::Information);
            EXPECT_EQ(dialog.text, kRestartMessage);
            EXPECT_EQ(dialog.caption, L"Kestrova");
            ++count;
        }
        return count;
    }

    int versionClass_ = kWindowsXp;
};

// A program disabled as Windows XP keeps it: a record under the startupreg key.
void PutRecord(const std::wstring& name, const std::wstring& command) {
    PutText(HKEY_LOCAL_MACHINE, kRun, name, command);
    ASSERT_TRUE(ApplyStartupChange({name, command, kHklmRun, true}, kWindowsXp, false).done);
    ASSERT_TRUE(KeyIn(HKEY_LOCAL_MACHINE, kRecords + L"\\" + name));
}

TEST_F(MainFormStartupTest, ListsChecksAppliesAndRefreshes) {
    PutText(HKEY_LOCAL_MACHINE, kRun, L"A", L"a.exe");
    PutText(HKEY_CURRENT_USER, kRun, L"B", L"b.exe /q");
    PutRecord(L"C", L"c.exe");
    OpenStartup();
    EXPECT_EQ(ShownRows(), (Rows{L"[x] A | a.exe | " + kHklmRun, L"[x] B | b.exe /q | " + kHkcuRun,
                                 L"[ ] C | c.exe | " + kHklmRun}));
    EXPECT_TRUE(Page().btnApply.Enabled());

    // Opened again: the rows stay as they are.
    PutText(HKEY_LOCAL_MACHINE, kRun, L"D", L"d.exe");
    Press(form_->ToolButtonFor<StartupSection>().Handle());
    EXPECT_EQ(RowCount(List()), 3);

    // Apply with nothing changed moves nothing, yet asks for the restart and lists afresh.
    Click(Page().btnApply);
    EXPECT_EQ(RestartMessages(), 1u);
    EXPECT_FALSE(Page().btnApply.Enabled());
    EXPECT_EQ(ShownRows(),
              (Rows{L"[x] A | a.exe | " + kHklmRun, L"[x] D | d.exe | " + kHklmRun,
                    L"[x] B | b.exe /q | " + kHkcuRun, L"[ ] C | c.exe | " + kHklmRun}));
    EXPECT_TRUE(KeyIn(HKEY_LOCAL_MACHINE, kRecords + L"\\C"));

    // A click in the list enables Apply only while a mark differs from the listed states.
    ClickCheckBox(List(), 2);
    EXPECT_TRUE(Page().btnApply.Enabled());
    ClickCheckBox(List(), 2);
    EXPECT_FALSE(Page().btnApply.Enabled());
    Click(Page().btnDisable);
    EXPECT_EQ(Shown(List(), 1), (Rows{L"[ ] A", L"[ ] D", L"[ ] B", L"[ ] C"}));
    Click(Page().btnEnable);
    EXPECT_EQ(Shown(List(), 1), (Rows{L"[x] A", L"[x] D", L"[x] B", L"[x] C"}));
    EXPECT_FALSE(Page().btnApply.Enabled()) << "Check All leaves Apply as it was";

    // Apply compares with the listed states: C was off and is now on, A the other way.
    ClickCheckBox(List(), 0);
    ASSERT_TRUE(Page().btnApply.Enabled());
    Click(Page().btnApply);
    EXPECT_EQ(RestartMessages(), 2u);
    EXPECT_FALSE(Page().btnApply.Enabled());
    EXPECT_EQ(TextIn(HKEY_LOCAL_MACHINE, kRun, L"A"), L"<none>");
    EXPECT_EQ(TextIn(HKEY_LOCAL_MACHINE, kRun, L"C"), L"c.exe");
    EXPECT_FALSE(KeyIn(HKEY_LOCAL_MACHINE, kRecords + L"\\C"));
    const std::wstring recordA = kRecords + L"\\A";
    EXPECT_EQ(TextIn(HKEY_LOCAL_MACHINE, recordA, L"command"), L"a.exe");
    EXPECT_EQ(TextIn(HKEY_LOCAL_MACHINE, recordA, L"hkey"), L"HKLM");
    EXPECT_EQ(TextIn(HKEY_LOCAL_MACHINE, recordA, L"inimapping"), L"0");
    EXPECT_EQ(TextIn(HKEY_LOCAL_MACHINE, recordA, L"item"), L"A");
    EXPECT_EQ(TextIn(HKEY_LOCAL_MACHINE, recordA, L"key"), kRun);
    EXPECT_EQ(TextIn(HKEY_CURRENT_USER, kRun, L"B"), L"b.exe /q") << "unchanged rows stay";
    EXPECT_EQ(TextIn(HKEY_LOCAL_MACHINE, kRun, L"D"), L"d.exe");
    EXPECT_EQ(ShownRows(),
              (Rows{L"[x] C | c.exe | " + kHklmRun, L"[x] D | d.exe | " + kHklmRun,
                    L"[x] B | b.exe /q | " + kHkcuRun, L"[ ] A | a.exe | " + kHklmRun}));

    // Refresh drops marks not applied and shows what the registry holds now; Apply keeps the
    // state the last click in the list gave it.
    PutText(HKEY_CURRENT_USER, kRun, L"E", L"e.exe");
    ClickCheckBox(List(), 0);
    ASSERT_TRUE(Page().btnApply.Enabled());
    Click(Page().btnRefresh);
    EXPECT_EQ(Shown(List(), 1), (Rows{L"[x] C", L"[x] D", L"[x] B", L"[x] E", L"[ ] A"}));
    EXPECT_TRUE(Page().btnApply.Enabled());
    EXPECT_EQ(TextIn(HKEY_LOCAL_MACHINE, kRun, L"C"), L"c.exe");

    // The Windows version is asked at each listing and each Apply: as Windows 98, a disabled
    // entry goes to the Run- key beside its live key.
    versionClass_ = kWindows98;
    Click(Page().btnRefresh);
    EXPECT_EQ(Shown(List(), 1), (Rows{L"[x] C", L"[x] D"}));
    ClickCheckBox(List(), 0);
    Click(Page().btnApply);
    EXPECT_EQ(RestartMessages(), 3u);
    EXPECT_EQ(TextIn(HKEY_LOCAL_MACHINE, kRun, L"C"), L"<none>");
    EXPECT_EQ(TextIn(HKEY_LOCAL_MACHINE, kRun + L"-", L"C"), L"c.exe");
    EXPECT_EQ(ShownRows(),
              (Rows{L"[x] D | d.exe | " + kHklmRun, L"[ ] C | c.exe | " + kHklmRun + L"-"}));

    // A Windows of no known class lists nothing and moves nothing, yet asks for the restart.
    ClickCheckBox(List(), 1);
    ASSERT_TRUE(Page().btnApply.Enabled());
    versionClass_ = 0;
    Click(Page().btnApply);
    EXPECT_EQ(RestartMessages(), 4u);
    EXPECT_EQ(RowCount(List()), 0);
    EXPECT_EQ(TextIn(HKEY_LOCAL_MACHINE, kRun + L"-", L"C"), L"c.exe");
    EXPECT_EQ(TextIn(HKEY_LOCAL_MACHINE, kRun, L"C"), L"<none>");
    EXPECT_EQ(TextIn(HKEY_LOCAL_MACHINE, kRun, L"D"), L"d.exe");
}

TEST_F(MainFormStartupTest, AChangeThatCannotBeMadeIsToldBeforeTheRestartMessage) {
    PutText(HKEY_LOCAL_MACHINE, kRun, L"A", L"a.exe");
    {
        Registry reg(HKEY_LOCAL_MACHINE);
        ASSERT_TRUE(reg.OpenKey(L"\\" + kRun, true));
        reg.WriteInteger(L"Number", 7);  // not a command: shown by its type, never moved
    }
    OpenStartup();
    Click(Page().btnDisable);
    Click(Page().btnApply);

    ASSERT_EQ(dialogs_.shown.size(), 2u);
    EXPECT_EQ(dialogs_.shown[0].kind, ShownDialog::Kind::Error);
    EXPECT_NE(dialogs_.shown[0].text.find(L"Number"), std::wstring::npos);
    EXPECT_EQ(dialogs_.shown[0].text.find(L"A ("), std::wstring::npos) << "A was moved";
    EXPECT_EQ(dialogs_.shown[1].text, kRestartMessage);
    EXPECT_EQ(TextIn(HKEY_LOCAL_MACHINE, kRun, L"A"), L"<none>");
    EXPECT_EQ(Shown(List(), 1), (Rows{L"[x] Number", L"[ ] A"}));
}

class MainFormUninstallTest : public MainFormTest {
protected:
    void OpenUninstall() {
        MarkFirstScanOffered();
        Open();
        Page().UseLauncher([this](const std::wstring& command) {
            launched_.push_back(command);
            return true;
        });
        Page().UseUninstallScope([this] { return scope_; });
        Press(form_->ToolButtonFor<AddRemoveSection>().Handle());
        ASSERT_EQ(&form_->ShownSection(), &Page());
    }
    AddRemoveSection& Page() { return form_->Get<AddRemoveSection>(); }
    HWND List() { return Page().lvAddRemove.Handle(); }
    void Click(Button& button) {
        button.Click();
        Settle();
    }
    // Both action buttons are enabled, or both disabled.
    bool ActionsEnabled() {
        EXPECT_EQ(Page().btnUninstall.Enabled(), Page().btnDeleteEntry.Enabled());
        return Page().btnUninstall.Enabled();
    }
    static void Register(const std::wstring& subkey, const std::wstring& displayName,
                         const std::wstring& uninstallString) {
        const std::wstring key = kUninstall + L"\\" + subkey;
        PutText(HKEY_LOCAL_MACHINE, key, L"DisplayName", displayName);
        if (!uninstallString.empty()) {
            PutText(HKEY_LOCAL_MACHINE, key, L"UninstallString", uninstallString);
        }
    }
    static bool Registered(const std::wstring& subkey) {
        return KeyIn(HKEY_LOCAL_MACHINE, kUninstall + L"\\" + subkey);
    }

    std::vector<std::wstring> launched_;
    // As Windows up to Server 2003 lists them, unless a test says otherwise.
    UninstallScope scope_ = UninstallScope::Machine;
};

TEST_F(MainFormUninstallTest, ListsSortedUninstallsAndDeletesAfterYes) {
    // No Uninstall key: an empty list, on which Check All still toggles and acts on nothing.
    OpenUninstall();
    EXPECT_EQ(RowCount(List()), 0);
    Click(Page().btnCheckAlll2);
    EXPECT_EQ(Page().btnCheckAlll2.Text(), L"&Uncheck All");
    EXPECT_TRUE(ActionsEnabled());
    Click(Page().btnUninstall);
    EXPECT_TRUE(launched_.empty());
    dialogs_.confirmAnswers = {true};
    Click(Page().btnDeleteEntry);
    EXPECT_EQ(dialogs_.Count(ShownDialog::Kind::Question), 1u);
    Click(Page().btnCheckAlll2);
    EXPECT_EQ(Page().btnCheckAlll2.Text(), L"&Check All");
    EXPECT_FALSE(ActionsEnabled());

    // Opened again while empty, the list is read again.
    Register(L"{z}", L"Zeta", L"z.exe /u");
    PutText(HKEY_LOCAL_MACHINE, kUninstall + L"\\{z}\\Parts", L"x", L"1");
    Register(L"alpha", L"Alpha", L"\"C:\\Program Files\\A\\un.exe\"");
    Register(L"mid", L"Mid", L"");
    Register(L"twin", L"Alpha", L"a2.exe");
    Register(L"blank", L"", L"b.exe");
    PutText(HKEY_LOCAL_MACHINE, kUninstall + L"\\hidden", L"UninstallString", L"h.exe");
    Press(form_->ToolButtonFor<AddRemoveSection>().Handle());
    const std::wstring under = L" | " + kUninstall + L"\\";
    EXPECT_EQ(Shown(List(), 3),
              (Rows{L"[ ] Alpha | \"C:\\Program Files\\A\\un.exe\"" + under + L"alpha",
                    L"[ ] Alpha | a2.exe" + under + L"twin", L"[ ] Mid | " + under + L"mid",
                    L"[ ] Zeta | z.exe /u" + under + L"{z}"}));

    // A click in the list: any checked row enables both actions.
    ClickCheckBox(List(), 2);
    EXPECT_TRUE(ActionsEnabled());
    ClickCheckBox(List(), 2);
    EXPECT_FALSE(ActionsEnabled());

    Click(Page().btnCheckAlll2);
    EXPECT_EQ(Page().btnCheckAlll2.Text(), L"&Uncheck All");
    EXPECT_EQ(Page().entries.CheckedCount(), 4u);
    EXPECT_TRUE(ActionsEnabled());
    // In list order, the empty command passed over; nothing waited for, the list unchanged.
    Click(Page().btnUninstall);
    EXPECT_EQ(launched_, (std::vector<std::wstring>{L"\"C:\\Program Files\\A\\un.exe\"", L"a2.exe",
                                                    L"z.exe /u"}));
    EXPECT_EQ(Page().entries.CheckedCount(), 4u);
    Click(Page().btnCheckAlll2);
    EXPECT_EQ(Page().btnCheckAlll2.Text(), L"&Check All");
    EXPECT_EQ(Page().entries.CheckedCount(), 0u);
    EXPECT_FALSE(ActionsEnabled());

    // Delete asks first; No deletes nothing.
    ClickCheckBox(List(), 3);
    ClickCheckBox(List(), 1);
    dialogs_.confirmAnswers = {false};
    Click(Page().btnDeleteEntry);
    EXPECT_EQ(dialogs_.Texts(ShownDialog::Kind::Question),
              (Rows(2, L"Are you sure to delete the key(s)?")));
    EXPECT_TRUE(Registered(L"{z}"));
    EXPECT_TRUE(Registered(L"twin"));
    EXPECT_EQ(Page().entries.CheckedRows(), (std::vector<size_t>{1, 3}));

    // Yes deletes the checked registrations with their subkeys and lists the rest.
    dialogs_.confirmAnswers = {true};
    Click(Page().btnDeleteEntry);
    EXPECT_EQ(dialogs_.Count(ShownDialog::Kind::Question), 3u);
    EXPECT_FALSE(Registered(L"{z}"));
    EXPECT_FALSE(Registered(L"twin"));
    for (const wchar_t* kept : {L"alpha", L"mid", L"blank", L"hidden"}) {
        EXPECT_TRUE(Registered(kept)) << ToUtf8(kept);
    }
    EXPECT_EQ(Shown(List(), 1), (Rows{L"[ ] Alpha", L"[ ] Mid"}));
    EXPECT_TRUE(ActionsEnabled()) << "until the next click in the list";

    // Refresh lists anew, leaving the buttons and the caption as they are.
    Register(L"new", L"Beta", L"n.exe");
    Click(Page().btnCheckAlll2);
    Click(Page().btnRefresh1);
    EXPECT_EQ(Shown(List(), 1), (Rows{L"[ ] Alpha", L"[ ] Beta", L"[ ] Mid"}));
    EXPECT_EQ(Page().btnCheckAlll2.Text(), L"&Uncheck All");
    EXPECT_TRUE(ActionsEnabled());

    // Without an Uninstall key to read, the rows stay.
    ASSERT_TRUE(Registry(HKEY_LOCAL_MACHINE).DeleteKey(L"\\" + kUninstall));
    Click(Page().btnRefresh1);
    EXPECT_EQ(RowCount(List()), 3);
    EXPECT_EQ(launched_.size(), 3u);
    EXPECT_TRUE(Errors().empty());
}

// Windows 8 and later: the Run keys and the Startup folders, each program enabled or disabled
// through the StartupApproved record Task Manager keeps; Apply writes the changed ones.
TEST_F(MainFormStartupTest, OnWindows8AndLaterApplyWritesTaskManagersRecords) {
    const std::wstring folder = temp_ / L"Startup";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    WriteFileBytes(folder + L"\\Tool.lnk", "L");
    PutText(HKEY_CURRENT_USER, kRun, L"A", L"a.exe");
    const std::wstring approved = std::wstring(kStartupApprovedKey);
    {
        Registry records(HKEY_CURRENT_USER);
        ASSERT_TRUE(records.OpenKey(L"\\" + approved + L"\\Run", true));
        const BYTE disabled[12] = {3, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8};
        records.WriteBinaryData(L"A", disabled, sizeof(disabled));
    }
    OpenStartup();
    Page().UseStartupPlaces([folder] {
        return StartupPlaces{StartupScheme::Approved, true, {}, folder};
    });
    Click(Page().btnRefresh);
    EXPECT_EQ(ShownRows(), (Rows{L"[ ] A | a.exe | " + kHkcuRun,
                                 L"[x] Tool.lnk | " + folder + L"\\Tool.lnk | " + folder}));

    ClickCheckBox(List(), 0);
    ClickCheckBox(List(), 1);
    ASSERT_TRUE(Page().btnApply.Enabled());
    Click(Page().btnApply);
    EXPECT_EQ(RestartMessages(), 1u);
    EXPECT_EQ(ShownRows(), (Rows{L"[x] A | a.exe | " + kHkcuRun,
                                 L"[ ] Tool.lnk | " + folder + L"\\Tool.lnk | " + folder}));
    const auto record = [&](const wchar_t* kind, const wchar_t* name) {
        Registry records(HKEY_CURRENT_USER);
        std::vector<BYTE> bytes(12, 0xEE);
        const bool read = records.OpenKeyReadOnly(L"\\" + approved + L"\\" + kind) &&
                          records.ReadBinaryData(name, bytes.data(), bytes.size()) == 12;
        return read ? bytes : std::vector<BYTE>{};
    };
    EXPECT_EQ(record(L"Run", L"A"), (std::vector<BYTE>{2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(record(L"StartupFolder", L"Tool.lnk")[0], 3);
    // Nothing moved.
    EXPECT_EQ(TextIn(HKEY_CURRENT_USER, kRun, L"A"), L"a.exe");
    EXPECT_TRUE(FileExists(folder + L"\\Tool.lnk"));
    EXPECT_FALSE(KeyIn(HKEY_LOCAL_MACHINE, kRecords));
}

// Windows Vista and later: the machine's, the 32-bit view's and the user's registrations, the
// hidden column naming each with its root, so Delete takes exactly the checked one.
TEST_F(MainFormUninstallTest, OnVistaAndLaterListsEveryPlaceAndDeletesExactlyTheCheckedKey) {
    scope_ = UninstallScope::AllPlaces;
    const std::wstring kUninstall32 = kUninstall32Key;
    Register(L"app", L"App", L"m.exe");
    PutText(HKEY_LOCAL_MACHINE, kUninstall32 + L"\\app", L"DisplayName", L"App");
    PutText(HKEY_CURRENT_USER, kUninstall + L"\\app", L"DisplayName", L"App (user)");
    Register(L"part", L"Part of Windows", L"p.exe");
    Registry component(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(component.OpenKey(L"\\" + kUninstall + L"\\part", false));
    component.WriteInteger(L"SystemComponent", 1);
    OpenUninstall();
    const std::wstring machine = L"HKEY_LOCAL_MACHINE\\";
    EXPECT_EQ(Shown(List(), 3),
              (Rows{L"[ ] App | m.exe | " + machine + kUninstall + L"\\app",
                    L"[ ] App |  | " + machine + kUninstall32 + L"\\app",
                    L"[ ] App (user) |  | HKEY_CURRENT_USER\\" + kUninstall + L"\\app"}));

    ClickCheckBox(List(), 1);
    dialogs_.confirmAnswers = {true};
    Click(Page().btnDeleteEntry);
    EXPECT_FALSE(KeyIn(HKEY_LOCAL_MACHINE, kUninstall32 + L"\\app"));
    EXPECT_TRUE(Registered(L"app"));
    EXPECT_TRUE(KeyIn(HKEY_CURRENT_USER, kUninstall + L"\\app"));
    EXPECT_EQ(Shown(List(), 1), (Rows{L"[ ] App", L"[ ] App (user)"}));
    EXPECT_TRUE(Errors().empty());
}

}  // namespace
}  // namespace kestrova
