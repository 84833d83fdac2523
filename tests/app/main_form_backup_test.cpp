// The Backup and Restore section of the main window: restore points made, listed, restored and
// deleted by its buttons, with the real registry editor working on the registry sandbox's
// stand-ins for the five roots (never on the prefix's own keys).
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "main_form_fixture.h"
#include "platform/file_paths.h"
#include "platform/text.h"
#include "platform/unique_handles.h"
#include "repair/delete_folder_files.h"
#include "sandbox_registry_editor.h"
#include "support/real_test_key.h"

namespace kestrova {
namespace {

using namespace test;

const std::wstring kTestKey = L"Software\\KestrovaBackupSectionTest";

// Clicks a line of a list box with the mouse.
void ClickLine(ListBox& list, int line) {
    RECT bounds = {};
    ASSERT_NE(SendMessageW(list.Handle(), LB_GETITEMRECT, static_cast<WPARAM>(line),
                           reinterpret_cast<LPARAM>(&bounds)),
              LB_ERR);
    const LPARAM at =
        MAKELPARAM((bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2);
    PostMessageW(list.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(list.Handle(), WM_LBUTTONUP, 0, at);
    Settle();
}

std::vector<std::wstring> Lines(const ListBox& list) {
    std::vector<std::wstring> lines;
    for (size_t i = 0; i < list.Count(); ++i) {
        lines.push_back(list.Item(i));
    }
    return lines;
}

class MainFormBackupTest : public MainFormTest {
protected:
    void OpenSection(BackupPointsOptions options) {
        MarkFirstScanOffered();
        Open();
        options.pauseMs = 0;
        Page().SetBackupOptions(std::move(options));
        Press(form_->ToolButtonFor<BackupSection>().Handle());
        ASSERT_EQ(&form_->ShownSection(), &Page());
    }
    BackupSection& Page() { return form_->Get<BackupSection>(); }
    std::wstring Backup() const { return temp_ / L"Backup\\"; }
    void WaitForIdle() {
        ASSERT_TRUE(PumpMessagesUntil(
            [this] { return !Page().BackupRunning() && !Page().RestoreRunning(); }));
        Settle();
    }
    void SetValue(const std::wstring& text) {
        Registry reg(HKEY_CURRENT_USER);
        ASSERT_TRUE(reg.OpenKey(L"\\" + kTestKey, true));
        reg.WriteString(L"Value", text);
    }
    std::wstring Value() {
        Registry reg(HKEY_CURRENT_USER);
        return reg.OpenKeyReadOnly(L"\\" + kTestKey) ? reg.ReadString(L"Value") : L"(no key)";
    }
};

TEST_F(MainFormBackupTest, ARestorePointIsMadeListedRestoredAndDeleted) {
    BackupPointsOptions options;
    options.registryEditor = SandboxRegistryEditor(registry_);
    EnsureFolder(temp_ / L"Backup");
    EnsureFolder(temp_ / L"Backup\\older");
    SetValue(L"before");
    OpenSection(std::move(options));
    BackupSection& page = Page();
    EXPECT_EQ(Lines(page.ltbk), std::vector<std::wstring>{L"older"});
    TextRecorder status(page.lbStatus.Handle());

    // Nothing chosen: neither a restore nor a deletion happens.
    page.btnRestore1.Click();
    EXPECT_FALSE(page.RestoreRunning());
    page.btDel.Click();
    EXPECT_EQ(Lines(page.ltbk), std::vector<std::wstring>{L"older"});
    EXPECT_TRUE(IsExistingFolder(Backup() + L"older"));

    page.btnBackup.Click();
    EXPECT_TRUE(page.BackupRunning());
    page.btnBackup.Click();  // a second press while it runs changes nothing
    WaitForIdle();
    std::vector<std::wstring> expected;
    for (const BackupKey& key : RootBackupKeys()) {
        expected.insert(expected.end(),
                        {kBackupPauseStatus, BackingUpStatus(key.keyName), kStepDoneStatus});
    }
    EXPECT_EQ(status.texts, expected);
    EXPECT_EQ(page.lbStatus.Text(), L"Done !");
    // The new restore point comes at the end of the list.
    const std::vector<std::wstring> lines = Lines(page.ltbk);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], L"older");
    const std::wstring point = Backup() + lines[1] + L"\\";
    const std::wstring prefix = L"[HKEY_CURRENT_USER\\" + registry_.ScratchPath() + L"\\";
    for (const BackupKey& key : RootBackupKeys()) {
        const std::wstring text = ReadRegFile(point + key.fileName);
        EXPECT_EQ(text.rfind(RegFileHeader() + prefix + key.keyName + L"]", 0), 0u)
            << "only the sandbox's stand-in is exported: " << ToUtf8(key.fileName);
    }
    EXPECT_NE(ReadRegFile(point + L"HKEY_CURRENT_USER.reg").find(L"\"Value\"=\"before\""),
              std::wstring::npos);

    SetValue(L"after");
    ClickLine(page.ltbk, 1);
    status.texts.clear();
    page.btnRestore1.Click();
    WaitForIdle();
    expected.clear();
    for (const BackupKey& key : RootBackupKeys()) {
        expected.insert(expected.end(), {RestoringStatus(key.keyName), kStepDoneStatus});
    }
    EXPECT_EQ(status.texts, expected);
    EXPECT_EQ(Value(), L"before");
    EXPECT_EQ(Lines(page.ltbk), lines) << "no refresh after a restore";

    // A file that cannot be deleted is named; the entry goes, the folder stays and comes back
    // with the next refresh.
    {
        const UniqueKernelHandle held(CreateFileW((point + L"HKEY_USERS.reg").c_str(), GENERIC_READ,
                                                  FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                                  FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(held);
        ClickLine(page.ltbk, 1);
        page.btDel.Click();
    }
    EXPECT_EQ(dialogs_.Texts(ShownDialog::Kind::Message),
              std::vector<std::wstring>{DeleteErrorMessage(L"HKEY_USERS.reg")});
    EXPECT_EQ(Lines(page.ltbk), std::vector<std::wstring>{L"older"});
    EXPECT_EQ(EntryNames(point), std::vector<std::wstring>{L"HKEY_USERS.reg"});
    page.btRefresh.Click();
    EXPECT_EQ(Lines(page.ltbk), lines);

    // Refresh keeps a listed name whose folder has gone, and adds only new names at the end.
    ASSERT_TRUE(RemoveDirectoryW((Backup() + L"older").c_str()));
    ASSERT_TRUE(CreateDirectoryW((Backup() + L"newest").c_str(), nullptr));
    page.btRefresh.Click();
    EXPECT_EQ(Lines(page.ltbk), (std::vector<std::wstring>{L"older", lines[1], L"newest"}));

    ClickLine(page.ltbk, 1);
    page.btDel.Click();
    EXPECT_FALSE(IsExistingFolder(point));
    EXPECT_EQ(Lines(page.ltbk), (std::vector<std::wstring>{L"older", L"newest"}));

    // Opening the section lists the folder afresh, in the file system's order.
    Press(form_->ToolButtonFor<BackupSection>().Handle());
    EXPECT_EQ(Lines(page.ltbk), std::vector<std::wstring>{L"newest"});
    // A restore point that has gone since it was listed is reported, and nothing runs.
    ASSERT_TRUE(RemoveDirectoryW((Backup() + L"newest").c_str()));
    ClickLine(page.ltbk, 0);
    page.btnRestore1.Click();
    EXPECT_FALSE(page.RestoreRunning());
    EXPECT_EQ(Errors().size(), 1u);

    // A restore point folder that cannot be made is reported, and no backup runs.
    ASSERT_TRUE(RemoveDirectoryW((temp_ / L"Backup").c_str()));
    WriteFileBytes(temp_ / L"Backup", "not a folder");
    status.texts.clear();
    page.btnBackup.Click();
    EXPECT_FALSE(page.BackupRunning());
    Settle();
    EXPECT_EQ(Errors().size(), 2u);
    EXPECT_TRUE(status.texts.empty());
    EXPECT_EQ(dialogs_.Count(ShownDialog::Kind::Message), 1u);
}

// A backup is never cut short: closing the window waits until every key is exported.
TEST_F(MainFormBackupTest, ABackupRunningWhenTheProgramEndsIsFinishedFirst) {
    BackupPointsOptions options;
    options.keys = {{L"HKEY_CURRENT_USER\\A", L"a.reg"},
                    {L"HKEY_CURRENT_USER\\B", L"b.reg"},
                    {L"HKEY_CURRENT_USER\\C", L"c.reg"}};
    // Stands in for the editor: writes the file named first, a little later.
    options.registryEditor = [](const std::wstring& commandLine, const std::wstring& folder) {
        Sleep(100);
        const size_t open = commandLine.find(L'"');
        const size_t close = commandLine.find(L'"', open + 1);
        WriteFileBytes(folder + commandLine.substr(open + 1, close - open - 1), "x");
        return true;
    };
    OpenSection(std::move(options));
    Page().btnBackup.Click();
    ASSERT_TRUE(Page().BackupRunning());
    Exit();
    ASSERT_TRUE(closed_);
    form_.reset();
    const std::vector<std::wstring> points = EntryNames(Backup());
    ASSERT_EQ(points.size(), 1u);
    std::vector<std::wstring> files = EntryNames(Backup() + points[0] + L"\\");
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::wstring>{L"a.reg", L"b.reg", L"c.reg"}));
}

}  // namespace
}  // namespace kestrova
