// The console front end's backup command, run as the child process it is. Restores import
// restore points made here by hand, which hold only a key of the test's own under the real
// HKEY_CURRENT_USER: the child's registry editor writes the real registry of the test prefix.
#include <windows.h>

#include <map>
#include <string>

#include <gtest/gtest.h>

#include "platform/registry.h"
#include "platform/text.h"
#include "support/cli_child.h"
#include "support/json_value.h"
#include "support/real_test_key.h"
#include "support/temp_folder.h"

namespace kestrova {
namespace {

using test::ChildResult;

const wchar_t* const kRootFiles[] = {L"HKEY_CLASSES_ROOT.reg", L"HKEY_CURRENT_USER.reg",
                                     L"HKEY_LOCAL_MACHINE.reg", L"HKEY_USERS.reg",
                                     L"HKEY_CURRENT_CONFIG.reg"};

class CliBackupTest : public ::testing::Test {
protected:
    static ChildResult Cli(const std::wstring& arguments) { return test::RunCli(arguments); }
    std::wstring InFolder() const { return test::DataFolderOption(temp_.Path()); }
    std::wstring Point(const std::wstring& name) const { return temp_ / (L"Backup\\" + name); }
    // A restore point whose HKEY_CURRENT_USER file sets this test's value to text, and whose
    // other files hold nothing; without the file `leftOut`.
    void MakeRestorePoint(const std::wstring& name, const std::wstring& text,
                          const std::wstring& leftOut = L"") {
        CreateDirectoryW((temp_ / L"Backup").c_str(), nullptr);
        ASSERT_TRUE(CreateDirectoryW(Point(name).c_str(), nullptr));
        for (const wchar_t* file : kRootFiles) {
            if (file == leftOut) {
                continue;
            }
            std::wstring content = test::RegFileHeader();
            if (std::wstring(file) == L"HKEY_CURRENT_USER.reg") {
                content += L"[" + key_.Text() + L"]\r\n\"Value\"=\"" + text + L"\"\r\n\r\n";
            }
            test::WriteRegFile(Point(name) + L"\\" + file, content);
        }
    }
    std::wstring Value() const {
        Registry registry(HKEY_CURRENT_USER);
        return registry.OpenKeyReadOnly(key_.Key().path) ? registry.ReadString(L"Value")
                                                         : L"(no key)";
    }

    test::RealTestKey key_{L"cli-backup"};
    test::TempFolder temp_;
};

TEST_F(CliBackupTest, BadArgumentsExitWithTwoAndTheUsage) {
    for (const wchar_t* arguments :
         {L"backup", L"backup frobnicate", L"backup create extra", L"backup create --json",
          L"backup list extra", L"backup list --all", L"backup restore", L"backup restore a b",
          L"backup restore \"\"", L"backup restore ..", L"backup restore --json x",
          L"backup delete", L"backup delete \"..\\Backup\"", L"backup delete a/b",
          L"backup delete \"x \""}) {
        const ChildResult result = Cli(std::wstring(arguments) + InFolder());
        EXPECT_EQ(result.exitCode, 2u) << ToUtf8(arguments) << "\n" << result.err;
        EXPECT_NE(result.err.find("usage:"), std::string::npos) << ToUtf8(arguments);
        EXPECT_TRUE(result.out.empty()) << ToUtf8(arguments);
    }
    EXPECT_TRUE(test::EntryNames(temp_.Path()).empty());

    const ChildResult noFolder = Cli(L"backup list --data-folder \"" + temp_ / L"none" + L"\"");
    EXPECT_EQ(noFolder.exitCode, 1u);
    EXPECT_NE(noFolder.err.find("does not exist"), std::string::npos) << noFolder.err;
}

TEST_F(CliBackupTest, ARestorePointIsListedRestoredAndDeleted) {
    const ChildResult none = Cli(L"backup list --json" + InFolder());
    EXPECT_EQ(none.exitCode, 0u) << none.err;
    EXPECT_EQ(none.out, "{\"restorePoints\":[]}\n");

    MakeRestorePoint(L"Point A", L"restored");
    MakeRestorePoint(L"Partial", L"partial", L"HKEY_USERS.reg");
    const ChildResult listed = Cli(L"backup list --json" + InFolder());
    ASSERT_EQ(listed.exitCode, 0u) << listed.err;
    std::map<std::string, double> files;
    const test::JsonValue report = test::ParseJson(listed.out);
    for (const test::JsonValue& point : report["restorePoints"].Array()) {
        files[point["name"].String()] = point["files"].Number();
    }
    EXPECT_EQ(files, (std::map<std::string, double>{{"Point A", 5}, {"Partial", 4}}));
    const ChildResult text = Cli(L"backup list" + InFolder());
    EXPECT_TRUE(text.out == "Point A\nPartial\n" || text.out == "Partial\nPoint A\n") << text.out;

    const ChildResult restored = Cli(L"backup restore \"Point A\"" + InFolder());
    EXPECT_EQ(restored.exitCode, 0u) << restored.err;
    EXPECT_EQ(restored.out, "Restored Point A\n");
    EXPECT_EQ(Value(), L"restored");

    // A missing file is named, and the files that are there are restored all the same.
    const ChildResult partial = Cli(L"backup restore Partial" + InFolder());
    EXPECT_EQ(partial.exitCode, 1u);
    EXPECT_EQ(partial.out, "");
    EXPECT_EQ(partial.err,
              "kestrova-cli backup: Restoring HKEY_USERS failed: HKEY_USERS.reg is missing\n");
    EXPECT_EQ(Value(), L"partial");

    const ChildResult missing = Cli(L"backup restore Gone" + InFolder());
    EXPECT_EQ(missing.exitCode, 1u);
    EXPECT_NE(missing.err.find("There is no restore point \"Gone\""), std::string::npos)
        << missing.err;

    const ChildResult deleted = Cli(L"backup delete \"Point A\"" + InFolder());
    EXPECT_EQ(deleted.exitCode, 0u) << deleted.err;
    EXPECT_EQ(deleted.out, "Deleted Point A\n");
    EXPECT_EQ(test::EntryNames(temp_ / L"Backup\\"), std::vector<std::wstring>{L"Partial"});
    const ChildResult again = Cli(L"backup delete \"Point A\"" + InFolder());
    EXPECT_EQ(again.exitCode, 1u);
    EXPECT_NE(again.err.find("there is no restore point 'Point A'"), std::string::npos)
        << again.err;

    // A folder that holds a sub-folder loses its files but stays, and says so.
    ASSERT_TRUE(CreateDirectoryW((Point(L"Partial") + L"\\sub").c_str(), nullptr));
    const ChildResult kept = Cli(L"backup delete Partial" + InFolder());
    EXPECT_EQ(kept.exitCode, 1u);
    EXPECT_NE(kept.err.find("stays in"), std::string::npos) << kept.err;
    EXPECT_EQ(test::EntryNames(Point(L"Partial") + L"\\"), std::vector<std::wstring>{L"sub"});
}

// The one whole-registry backup of the command's tests.
TEST_F(CliBackupTest, CreateBacksUpTheFiveRootsAndPrintsTheName) {
    const ChildResult created = Cli(L"backup create" + InFolder());
    ASSERT_EQ(created.exitCode, 0u) << created.err;
    ASSERT_GT(created.out.size(), 1u);
    ASSERT_EQ(created.out.back(), '\n');
    const std::wstring name = FromUtf8(created.out.substr(0, created.out.size() - 1));
    EXPECT_EQ(test::EntryNames(temp_ / L"Backup\\"), std::vector<std::wstring>{name});
    for (const wchar_t* file : kRootFiles) {
        EXPECT_GT(test::ReadFileBytes(Point(name) + L"\\" + file).size(), 100u) << ToUtf8(file);
    }
    const ChildResult deleted = Cli(L"backup delete \"" + name + L"\"" + InFolder());
    EXPECT_EQ(deleted.exitCode, 0u) << deleted.err;
    EXPECT_TRUE(test::EntryNames(temp_ / L"Backup\\").empty());
}

}  // namespace
}  // namespace kestrova
