// The console front end's userassist, junk and find commands, run as the child process they
// are. The child sees the real registry of the test prefix: the UserAssist test writes records
// of its own under names no one else uses, holds the real-registry lock, and removes them.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>

#include <gtest/gtest.h>

#include "file_tree_support.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "support/cli_child.h"
#include "support/json_value.h"
#include "support/real_registry_lock.h"
#include "support/temp_folder.h"
#include "support/versioned_program.h"
#include "tools/drive_cleaner.h"
#include "tools/user_assist.h"

namespace kestrova {
namespace {

using test::ChildResult;
using test::JsonValue;
using test::MakeFile;
using test::ParseJson;

class CliToolsTest : public ::testing::Test {
protected:
    static ChildResult Cli(const std::wstring& arguments) { return test::RunCli(arguments); }
    // The temp folder without its trailing "\", which would escape a closing quote.
    std::wstring Folder() const { return temp_.Path().substr(0, temp_.Path().size() - 1); }
    std::wstring At(const std::wstring& relative) const { return temp_ / relative; }
    static std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

    // The "fileName" (junk) or "path" (find) of each row of a JSON answer, sorted.
    static std::vector<std::wstring> Names(const JsonValue& answer, const char* key) {
        std::vector<std::wstring> names;
        for (const JsonValue& row : answer["files"].Array()) {
            names.push_back(FromUtf8(row[key].String()));
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    std::vector<std::wstring> FindNames(const std::wstring& options) {
        const ChildResult result =
            Cli(L"find --location " + Quoted(Folder()) + L" " + options + L" --json");
        EXPECT_EQ(result.exitCode, 0u) << ToUtf8(options) << result.err;
        return result.exitCode == 0 ? Names(ParseJson(result.out), "path")
                                    : std::vector<std::wstring>{L"(failed)"};
    }

    test::TempFolder temp_;
};

TEST_F(CliToolsTest, BadArgumentsExitWithTwoAndTheUsage) {
    for (const wchar_t* arguments : {
             L"userassist",
             L"userassist list extra",
             L"userassist delete x --json",
             L"junk scan",
             L"junk scan --drives C: --location C:\\x",
             L"junk scan --location C:\\x --location C:\\y",
             L"junk scan --drives A:",
             L"junk scan --location C:\\x --types Bogus",
             L"junk scan --location C:\\x --exclude",
             L"junk clean --location C:\\x --all",
             L"find",
             L"find --location C:\\x extra",
             L"find --location C:\\x --min-size -1",
             L"find --location C:\\x --max-size 12k",
             L"find --location C:\\x --modified-after 2021-02-30",
             L"find --location C:\\x --modified-before yesterday",
             L"find --location C:\\x --whole-word",
         }) {
        const ChildResult result = Cli(arguments);
        EXPECT_EQ(result.exitCode, 2u) << ToUtf8(arguments) << "\n" << result.err;
        EXPECT_NE(result.err.find("usage:"), std::string::npos) << ToUtf8(arguments);
        EXPECT_TRUE(result.out.empty()) << ToUtf8(arguments);
    }
}

TEST_F(CliToolsTest, JunkScanListsRowsAsTheResultListShowsThem) {
    MakeFile(At(L"a.tmp"), std::string(3000, 'a'));
    MakeFile(At(L"setup.log"), "x");
    MakeFile(At(L"keep.txt"), "x");
    MakeFile(At(L"Temp\\keep.tmp"), "x");
    MakeFile(At(L"skipped\\deep\\b.bak"), "x");
    MakeFile(At(L"x.~mp"), "x");
    test::MakeSparseFile(At(L"huge.tmp"), 0x100000064ull);

    ChildResult result = Cli(L"junk scan --location " + Quoted(Folder()) + L" --json");
    ASSERT_EQ(result.exitCode, 0u) << result.err;
    JsonValue answer = ParseJson(result.out);
    EXPECT_EQ(Names(answer, "fileName"),
              (std::vector<std::wstring>{At(L"Temp\\keep.tmp"), At(L"a.tmp"), At(L"huge.tmp"),
                                         At(L"setup.log"), At(L"skipped\\deep\\b.bak"),
                                         At(L"x.~mp"), At(L"x.~mp")}));
    EXPECT_EQ(answer["count"].Number(), 7);
    for (const JsonValue& row : answer["files"].Array()) {
        if (row["fileName"].String() == ToUtf8(At(L"huge.tmp"))) {
            EXPECT_EQ(row["bytes"].Number(), 4294967396.0);
            EXPECT_EQ(row["fileSize"].String(), "4194304 KB");
        }
        if (row["fileName"].String() == ToUtf8(At(L"a.tmp"))) {
            EXPECT_EQ(row["bytes"].Number(), 3000);
            EXPECT_EQ(row["fileSize"].String(), "2 KB");
            EXPECT_FALSE(row["fileDateTime"].String().empty());
        }
    }

    // Chosen types, a file exclude by the mask rules and a folder exclude with its subtree.
    result =
        Cli(L"junk scan --location " + Quoted(Folder()) +
            L" --types \"temporary files; General Backup Files\" --exclude " +
            Quoted(At(L"Temp\\keep.tmp")) + L" --exclude " + Quoted(At(L"skipped")) + L" --json");
    ASSERT_EQ(result.exitCode, 0u) << result.err;
    EXPECT_EQ(Names(ParseJson(result.out), "fileName"),
              (std::vector<std::wstring>{At(L"a.tmp"), At(L"huge.tmp"), At(L"x.~mp")}));

    // Text: a header and tab-separated rows.
    result = Cli(L"junk scan --location " + Quoted(Folder()) +
                 L" --types \"Log files (rarely "
                 L"needed)\"");
    ASSERT_EQ(result.exitCode, 0u) << result.err;
    EXPECT_EQ(result.out.substr(0, result.out.find('\n')),
              "File Name\tFile Size\tFile DateTime\tBytes");
    EXPECT_NE(result.out.find(ToUtf8(At(L"setup.log")) + "\t0 KB\t"), std::string::npos);
    EXPECT_NE(result.out.find("\t1\n"), std::string::npos);
}

TEST_F(CliToolsTest, JunkScanOnDrivesTakesOnlyListedDrives) {
    std::wstring missing;
    const std::vector<DriveInfo> drives = ListDrives();
    for (wchar_t letter = L'Y'; letter >= L'D' && missing.empty(); --letter) {
        const std::wstring root = std::wstring(1, letter) + L":\\";
        if (std::none_of(drives.begin(), drives.end(),
                         [&](const DriveInfo& d) { return d.root == root; })) {
            missing = std::wstring(1, letter) + L":";
        }
    }
    ASSERT_FALSE(missing.empty());
    const ChildResult result = Cli(L"junk scan --drives " + missing);
    EXPECT_EQ(result.exitCode, 1u);
    EXPECT_NE(result.err.find(ToUtf8(missing)), std::string::npos) << result.err;
    EXPECT_TRUE(result.out.empty());
}

TEST_F(CliToolsTest, JunkCleanDeletesWhatTheScanFindsAndNamesWhatItCouldNot) {
    MakeFile(At(L"a.tmp"));
    MakeFile(At(L"b.~mp"));  // found twice, deleted once
    MakeFile(At(L"locked.bak"));
    MakeFile(At(L"keep.txt"));
    MakeFile(At(L"sub\\c.old"));
    {
        UniqueKernelHandle lock(CreateFileW(At(L"locked.bak").c_str(), GENERIC_READ, 0, nullptr,
                                            OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(lock);
        const ChildResult result = Cli(L"junk clean --location " + Quoted(Folder()));
        EXPECT_EQ(result.exitCode, 1u);
        EXPECT_NE(result.out.find("Not deleted: " + ToUtf8(At(L"locked.bak"))), std::string::npos)
            << result.out;
        EXPECT_NE(result.out.find("Deleted 3 files; 1 could not be deleted"), std::string::npos)
            << result.out;
        EXPECT_NE(result.err.find("1 files could not be deleted"), std::string::npos);
    }
    EXPECT_EQ(test::EntryNames(temp_.Path()),
              (std::vector<std::wstring>{L"keep.txt", L"locked.bak", L"sub"}));
    EXPECT_TRUE(test::EntryNames(At(L"sub\\")).empty());

    const ChildResult result = Cli(L"junk clean --location " + Quoted(Folder()) + L" --json");
    EXPECT_EQ(result.exitCode, 0u) << result.err;
    const JsonValue answer = ParseJson(result.out);
    EXPECT_EQ(answer["deleted"].Number(), 1);
    EXPECT_TRUE(answer["failed"].Array().empty());
    EXPECT_FALSE(test::FileExists(At(L"locked.bak")));
}

TEST_F(CliToolsTest, FindAppliesEveryCriterion) {
    MakeFile(At(L"small.txt"), std::string(10, 'x'));
    MakeFile(At(L"exact.txt"), std::string(100, 'x'));
    MakeFile(At(L"words.txt"), "the cat sat");
    MakeFile(At(L"concat.txt"), "concatenate");
    MakeFile(At(L"upper.dat"), "THE CAT");
    MakeFile(At(L"sub\\old.txt"), "cat");
    test::SetLocalFileTimes(At(L"sub\\old.txt"), 2001, 5, 6, 7, 8, 10);

    EXPECT_EQ(FindNames(L""),
              (std::vector<std::wstring>{At(L"concat.txt"), At(L"exact.txt"), At(L"small.txt"),
                                         At(L"sub\\old.txt"), At(L"upper.dat"), At(L"words.txt")}));
    EXPECT_EQ(FindNames(L"--masks *.dat;exact.*"),
              (std::vector<std::wstring>{At(L"exact.txt"), At(L"upper.dat")}));
    EXPECT_EQ(FindNames(L"--min-size 100 --max-size 100"),
              std::vector<std::wstring>{At(L"exact.txt")});
    EXPECT_EQ(FindNames(L"--modified-before 2001-05-06"),
              std::vector<std::wstring>{At(L"sub\\old.txt")});
    EXPECT_EQ(FindNames(L"--modified-before \"2001-05-06 07:08:09\""), std::vector<std::wstring>{});
    EXPECT_EQ(FindNames(L"--modified-after 2001-05-07 --masks *.txt --exclude *.txt"),
              std::vector<std::wstring>{});
    EXPECT_EQ(FindNames(L"--contains CAT"),
              (std::vector<std::wstring>{At(L"concat.txt"), At(L"sub\\old.txt"), At(L"upper.dat"),
                                         At(L"words.txt")}));
    EXPECT_EQ(FindNames(L"--contains CAT --case-sensitive"),
              std::vector<std::wstring>{At(L"upper.dat")});
    EXPECT_EQ(FindNames(L"--contains cat --whole-word --exclude \\sub\\"),
              (std::vector<std::wstring>{At(L"upper.dat"), At(L"words.txt")}));

    const ChildResult result = Cli(L"find --location " + Quoted(Folder()) + L" --masks exact.txt");
    ASSERT_EQ(result.exitCode, 0u);
    EXPECT_EQ(result.out.substr(0, result.out.find('\n')), "Path\tSize\tModified");
    EXPECT_NE(result.out.find(ToUtf8(At(L"exact.txt")) + "\t100\t"), std::string::npos);
}

// kestrova-cli run as Windows XP (whose Explorer keeps the records this test writes) through
// Wine's per-program version setting.
class CliUserAssistTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::VersionedProgram::Available()) {
            GTEST_SKIP() << "needs Wine's per-program version setting";
        }
        cli_.emplace(test::HostPathToWindows(KESTROVA_CLI_EXE), temp_.Path(), tag_ + L".exe",
                     L"winxp");
    }

    test::RealRegistryLock lock_;
    const std::wstring tag_ = L"KestrovaCliTest" + std::to_wstring(GetCurrentProcessId());
    test::TempFolder temp_;
    std::optional<test::VersionedProgram> cli_;
};

TEST_F(CliUserAssistTest, ListsDecodedRecordsAndDeletesThemByRawName) {
    const std::wstring& tag = tag_;
    const std::wstring first = DecodeUserAssistName(L"UEME_RUNPATH:C:\\" + tag + L"\\a.exe");
    const std::wstring second = DecodeUserAssistName(L"UEME_RUNPIDL:%csidl2%\\" + tag);
    struct Cleanup {
        std::vector<std::wstring> names;
        ~Cleanup() {
            Registry registry(HKEY_CURRENT_USER);
            if (registry.OpenKey(kUserAssistKeyPath, false)) {
                for (const std::wstring& name : names) {
                    registry.DeleteValue(name);
                }
            }
        }
    } cleanup{{first, second}};
    {
        Registry registry(HKEY_CURRENT_USER);
        ASSERT_TRUE(registry.OpenKey(kUserAssistKeyPath, true));
        const BYTE counter[8] = {1, 0, 0, 0, 2, 0, 0, 0};
        registry.WriteBinaryData(first, counter, sizeof(counter));
        registry.WriteBinaryData(second, counter, sizeof(counter));
    }
    const auto cli = [this](const std::wstring& arguments) { return cli_->Run(arguments); };
    const auto ours = [&] {
        const ChildResult result = cli(L"userassist list --json");
        EXPECT_EQ(result.exitCode, 0u) << result.err;
        std::vector<std::vector<std::string>> rows;
        const JsonValue answer = ParseJson(result.out);
        for (const JsonValue& row : answer["records"].Array()) {
            if (row["fileName"].String().find(ToUtf8(tag)) != std::string::npos) {
                rows.push_back(
                    {row["fileName"].String(), row["type"].String(), row["rawName"].String()});
            }
        }
        std::sort(rows.begin(), rows.end());
        return rows;
    };
    EXPECT_EQ(ours(), (std::vector<std::vector<std::string>>{
                          {"%csidl2%\\" + ToUtf8(tag), "Folder", ToUtf8(second)},
                          {"C:\\" + ToUtf8(tag) + "\\a.exe", "Executables", ToUtf8(first)}}));

    ChildResult result = cli(L"userassist list");
    EXPECT_EQ(result.exitCode, 0u);
    EXPECT_EQ(result.out.substr(0, result.out.find('\n')), "FileName\tType\tRaw Name");
    EXPECT_NE(result.out.find("C:\\" + ToUtf8(tag) + "\\a.exe\tExecutables\t" + ToUtf8(first)),
              std::string::npos);

    // An unknown name deletes nothing at all.
    result = cli(L"userassist delete \"" + first + L"\" \"" + first + L"x\"");
    EXPECT_EQ(result.exitCode, 1u);
    EXPECT_NE(result.err.find(ToUtf8(first) + "x"), std::string::npos) << result.err;
    EXPECT_EQ(ours().size(), 2u);

    result = cli(L"userassist delete \"" + first + L"\"");
    EXPECT_EQ(result.exitCode, 0u) << result.err;
    EXPECT_NE(result.out.find("Deleted 1 of 1 records"), std::string::npos) << result.out;
    EXPECT_EQ(ours(), (std::vector<std::vector<std::string>>{
                          {"%csidl2%\\" + ToUtf8(tag), "Folder", ToUtf8(second)}}));
}

// As Windows 7: the records of the programs' and the shortcuts' keys, named with their known
// folders, with the counters of their values; each deleted from its own key.
TEST_F(CliUserAssistTest, AsWindows7ListsBothKeysWithCountersAndDeletesFromEach) {
    cli_->SetVersion(L"win7");
    const std::wstring program =
        DecodeUserAssistName(L"{1AC14E77-02E7-4E5D-B744-2EB1AE5198B7}\\" + tag_ + L".exe");
    const std::wstring shortcut =
        DecodeUserAssistName(L"{0139D44E-6AFE-49F2-8690-3DAFCAE6FFB8}\\" + tag_ + L".lnk");
    struct Cleanup {
        std::vector<std::pair<const wchar_t*, std::wstring>> values;
        ~Cleanup() {
            for (const auto& [keyPath, name] : values) {
                Registry registry(HKEY_CURRENT_USER);
                if (registry.OpenKey(keyPath, false)) {
                    registry.DeleteValue(name);
                }
            }
        }
    } cleanup{{{kUserAssistProgramsKeyPath, program},
               {kUserAssistShortcutsKeyPath, shortcut},
               {kUserAssistShortcutsKeyPath, program}}};
    // Run 3 times, focused 5 times for 4,660 ms, last run 2012-04-06 13:23:55 UTC.
    std::vector<BYTE> usage(72, 0);
    usage[4] = 3;
    usage[8] = 5;
    usage[12] = 0x34;
    usage[13] = 0x12;
    const uint64_t lastRun = 0x01cd13f88427a420;
    std::memcpy(usage.data() + 60, &lastRun, sizeof(lastRun));
    for (const auto& [keyPath, name] : cleanup.values) {
        Registry registry(HKEY_CURRENT_USER);
        ASSERT_TRUE(registry.OpenKey(keyPath, true));
        registry.WriteBinaryData(name, usage.data(),
                                 keyPath == kUserAssistProgramsKeyPath ? usage.size() : 16);
    }
    const auto ours = [&] {
        const ChildResult result = cli_->Run(L"userassist list --json");
        EXPECT_EQ(result.exitCode, 0u) << result.err;
        const JsonValue answer = ParseJson(result.out);
        EXPECT_EQ(answer["layout"].String(), "windows7");
        std::vector<std::string> rows;
        for (const JsonValue& row : answer["records"].Array()) {
            if (row["fileName"].String().find(ToUtf8(tag_)) == std::string::npos) {
                continue;
            }
            std::string text =
                row["fileName"].String() + "|" + row["type"].String() + "|" + row["key"].String();
            if (row.Object().count("runCount") > 0) {
                for (const char* counter : {"runCount", "focusCount", "focusTimeMs"}) {
                    text += '|';
                    text += std::to_string(static_cast<int>(row[counter].Number()));
                }
                text += '|';
                text += row["lastRun"].String();
            }
            rows.push_back(text);
        }
        std::sort(rows.begin(), rows.end());
        return rows;
    };
    const std::string programs = "{CEBFF5CD-ACE2-4F4F-9178-9926F41749EA}";
    const std::string shortcuts = "{F4E57C4B-2036-45F0-A9AB-443BCFE33D9F}";
    const std::string tag = ToUtf8(tag_);
    EXPECT_EQ(ours(), (std::vector<std::string>{
                          "CommonPrograms\\" + tag + ".lnk|Start Menu|" + shortcuts,
                          "System\\" + tag + ".exe|Executables|" + programs +
                              "|3|5|4660|2012-04-06T13:23:55Z",
                          "System\\" + tag + ".exe|Executables|" + shortcuts,
                      }));

    const ChildResult text = cli_->Run(L"userassist list");
    EXPECT_EQ(text.out.substr(0, text.out.find('\n')),
              "FileName\tType\tRun Count\tFocus Count\tFocus Time\tLast Run\tRaw Name");
    EXPECT_NE(
        text.out.find("System\\" + tag + ".exe\tExecutables\t3\t5\t4660\t2012-04-06T13:23:55Z\t" +
                      ToUtf8(program)),
        std::string::npos)
        << text.out;

    // A raw name goes from every key that lists it.
    const ChildResult removed = cli_->Run(L"userassist delete \"" + program + L"\"");
    EXPECT_EQ(removed.exitCode, 0u) << removed.err;
    EXPECT_NE(removed.out.find("Deleted 2 of 2 records"), std::string::npos) << removed.out;
    EXPECT_EQ(ours(), (std::vector<std::string>{"CommonPrograms\\" + tag + ".lnk|Start Menu|" +
                                                shortcuts}));
}

}  // namespace
}  // namespace kestrova
