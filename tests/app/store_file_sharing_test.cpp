// The window's stores and kestrova-cli on the same data folder: whatever one program writes to
// Backup.xml or ignore.xml, the other's next save keeps, and the data folder's lock makes them
// take turns.
#include <gtest/gtest.h>

#include "app/store_file.h"
#include "app/store_file_saver.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "platform/unique_handles.h"
#include "repair/fix_errors.h"
#include "repair/ignore_list.h"
#include "repair/restore_history.h"
#include "repair/shared_store.h"
#include "repair/snapshot_records.h"
#include "support/cli_child.h"
#include "support/sandbox_test.h"
#include "support/scoped_environment.h"
#include "support/stale_entries.h"

#ifndef KESTROVA_CLI_EXE
#define KESTROVA_CLI_EXE ""
#endif

namespace kestrova {
namespace {

std::vector<std::wstring> Attributes(const XmlElement& root, const wchar_t* attribute) {
    std::vector<std::wstring> texts;
    for (size_t i = 0; i < root.ChildCount(); ++i) {
        texts.push_back(root.Child(i).AttributeText(attribute));
    }
    return texts;
}

class StoreFileSharingTest : public test::SandboxTest {
protected:
    test::ChildResult Cli(const std::wstring& arguments) {
        const test::ScopedEnvironment sandbox(test::kRegistrySandboxVariable,
                                              registry_.ScratchPath());
        return test::RunCli(arguments + Folder());
    }
    std::wstring Folder() const { return test::DataFolderOption(temp_.Path()); }
    std::vector<std::wstring> InFile(const wchar_t* file, const wchar_t* attribute) const {
        XmlDocument loaded;
        loaded.Load(temp_ / file);
        return Attributes(loaded.Root(), attribute);
    }

    StoreFile history_{L"Backup.xml", L"Kestrova", L"restore history"};
    StoreFile ignore_{L"ignore.xml", L"IgnoreList", L"ignore list"};
};

TEST_F(StoreFileSharingTest, HistoryEntriesOfAFixMeanwhileSurviveTheWindowsSaves) {
    ASSERT_FALSE(history_.Open(temp_.Path()));
    AppendHistoryEntry(history_.Root(), L"Earlier", L"k", L"p");
    ASSERT_TRUE(history_.Save());

    // The window sits in the tray while the console fixes seven entries.
    test::MakeStaleEntries(7, L"Sharing");
    const test::ChildResult fixed = Cli(L"fix --groups " + test::StaleEntryGroups());
    ASSERT_EQ(fixed.exitCode, 0u) << fixed.err << fixed.out;
    ASSERT_EQ(InFile(L"Backup.xml", L"NAME").size(), 8u);

    // The window's own fix, then its closing save.
    Registry registry(HKEY_CURRENT_USER);
    ASSERT_TRUE(registry.OpenKey(L"\\Software\\Own\\Key", true));
    registry.WriteString(L"v", L"x");
    const FixResult own =
        FixErrors(history_.Document(), SaverFor(history_),
                  {{L"Application", L"HKEY_CURRENT_USER\\Software\\Own\\Key", L""}});
    ASSERT_FALSE(own.saveError);
    ASSERT_TRUE(history_.Save());

    const std::vector<std::wstring> names = InFile(L"Backup.xml", L"NAME");
    ASSERT_EQ(names.size(), 9u);
    EXPECT_EQ(names.front(), L"Earlier");
    EXPECT_EQ(names.back(), L"Application");
    // The window's document holds what the file holds.
    EXPECT_EQ(Attributes(history_.Root(), L"NAME"), names);

    // The console restores everything; the window, still holding its copy, saves again with
    // one more entry of its own: what was restored does not come back.
    ASSERT_EQ(Cli(L"restore --all").exitCode, 0u);
    AppendHistoryEntry(history_.Root(), L"Later", L"k", L"p");
    ASSERT_TRUE(history_.Save());
    EXPECT_EQ(InFile(L"Backup.xml", L"NAME"), (std::vector<std::wstring>{L"Later"}));
}

TEST_F(StoreFileSharingTest, IgnoreEntriesOfEitherProgramAreKept) {
    ASSERT_FALSE(ignore_.Open(temp_.Path()));
    IgnoreList list(ignore_.Document(), SaverFor(ignore_));
    ASSERT_TRUE(list.Add(L"HKEY_CURRENT_USER", L"Software", L"window-1").added);

    ASSERT_EQ(Cli(L"ignore add HKEY_CURRENT_USER Software console-1").exitCode, 0u);
    ASSERT_EQ(Cli(L"ignore add HKEY_CURRENT_USER Software console-2").exitCode, 0u);
    ASSERT_EQ(Cli(L"ignore remove 0").exitCode, 0u);  // the window's first entry

    // The window adds one and removes console-1 by its place in the window's own list.
    ASSERT_TRUE(list.Add(L"HKEY_CURRENT_USER", L"Software", L"window-2").added);
    EXPECT_EQ(InFile(L"ignore.xml", L"VALUE"),
              (std::vector<std::wstring>{L"console-1", L"console-2", L"window-2"}));
    ASSERT_EQ(list.Entries()[0].value, L"console-1");
    ASSERT_FALSE(list.Remove({0}));
    EXPECT_EQ(InFile(L"ignore.xml", L"VALUE"),
              (std::vector<std::wstring>{L"console-2", L"window-2"}));
    EXPECT_EQ(Attributes(ignore_.Root(), L"VALUE"), InFile(L"ignore.xml", L"VALUE"));
}

TEST_F(StoreFileSharingTest, UpdateTakesTheOtherProgramsEntriesInAndKeepsUnsavedOnes) {
    ASSERT_FALSE(ignore_.Open(temp_.Path()));
    ASSERT_EQ(Cli(L"ignore add R K from-console").exitCode, 0u);
    XmlElement unsaved = ignore_.Root().AppendChild(L"ERROR");
    unsaved.SetAttribute(L"ROOT", L"R");
    unsaved.SetAttribute(L"KEY", L"K");
    unsaved.SetAttribute(L"VALUE", L"unsaved");

    ignore_.Update();
    EXPECT_EQ(Attributes(ignore_.Root(), L"VALUE"),
              (std::vector<std::wstring>{L"from-console", L"unsaved"}));
    EXPECT_EQ(InFile(L"ignore.xml", L"VALUE"), (std::vector<std::wstring>{L"from-console"}));
    ASSERT_TRUE(ignore_.Save());
    EXPECT_EQ(InFile(L"ignore.xml", L"VALUE"),
              (std::vector<std::wstring>{L"from-console", L"unsaved"}));
}

TEST_F(StoreFileSharingTest, TheConsoleWaitsForTheDataFoldersLock) {
    UniqueKernelHandle lock(CreateFileW((temp_ / kStoreLockFileName).c_str(),
                                        GENERIC_READ | GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    OVERLAPPED start = {};
    ASSERT_TRUE(LockFileEx(lock.Get(), LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &start));

    const test::ScopedEnvironment sandbox(test::kRegistrySandboxVariable, registry_.ScratchPath());
    test::RunningChild add(test::HostPathToWindows(KESTROVA_CLI_EXE),
                           L"ignore add R K V" + Folder());
    EXPECT_FALSE(add.WaitFor(1500));
    EXPECT_FALSE(test::FileExists(temp_ / L"ignore.xml"));

    UnlockFileEx(lock.Get(), 0, 1, 0, &start);
    ASSERT_TRUE(add.WaitFor(60000));
    EXPECT_EQ(add.ExitCode(), 0u);
    EXPECT_EQ(InFile(L"ignore.xml", L"VALUE"), (std::vector<std::wstring>{L"V"}));
}

}  // namespace
}  // namespace kestrova
