// The console front end's startup and uninstall commands, run as the child process they are.
// A child sees the real registry of the test prefix, not a sandbox: the tests make entries of
// their own under names no one else uses, hold the real-registry lock while they change it,
// and remove what they made even when they fail.
#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "managers/startup_approved.h"
#include "managers/startup_entries.h"
#include "managers/uninstall_entries.h"
#include "platform/text.h"
#include "registry_fixture.h"
#include "scan/windows_version.h"
#include "support/child_process.h"
#include "support/json_value.h"
#include "support/real_registry_lock.h"
#include "support/temp_folder.h"
#include "support/versioned_program.h"

#ifndef KESTROVA_CLI_EXE
#define KESTROVA_CLI_EXE ""
#endif

namespace kestrova {
namespace {

using test::ChildResult;
using test::JsonValue;
using test::KeyPresent;
using test::NamedTexts;
using test::ParseJson;
using test::PutData;
using test::PutText;
using test::TextOf;
using test::TextsOf;
using test::ValueOf;

const std::wstring kRun = kRunKey;
const std::wstring kHkcuRun = L"HKCU\\" + kRun;

// Unique to this test process, so parallel runs never touch each other's entries.
std::wstring Tag() {
    return L"KestrovaCliManagers" + std::to_wstring(GetCurrentProcessId());
}

ChildResult Cli(const std::wstring& arguments) {
    return test::RunChild(test::HostPathToWindows(KESTROVA_CLI_EXE), arguments);
}

TEST(CliManagersArgumentsTest, BadArgumentsExitWithTwoAndTheUsage) {
    const std::wstring uninstall = L"uninstall delete " + std::wstring(kUninstallKey);
    for (const std::wstring& arguments : {
             std::wstring(L"startup"),
             std::wstring(L"startup list extra"),
             std::wstring(L"startup list --location HKCU\\Run"),
             std::wstring(L"startup disable A"),
             std::wstring(L"startup disable A --location"),
             std::wstring(L"startup disable A --location HKCU\\x --location HKCU\\y"),
             std::wstring(L"startup disable A --location hkcu\\Run"),
             std::wstring(L"startup enable A --location HKCU\\Run --json"),
             std::wstring(L"uninstall delete"),
             uninstall + L"\\A\\B",
         }) {
        const ChildResult result = Cli(arguments);
        EXPECT_EQ(result.exitCode, 2u) << ToUtf8(arguments);
        EXPECT_NE(result.err.find("usage:"), std::string::npos) << ToUtf8(arguments);
        EXPECT_TRUE(result.out.empty()) << ToUtf8(arguments) << ": " << result.out;
    }
}

// kestrova-cli copied to a name of its own, run as another Windows through Wine's
// per-program version setting (Windows XP unless a test says otherwise), on entries of its own
// in the real registry.
class CliAsWindowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::VersionedProgram::Available()) {
            GTEST_SKIP() << "needs Wine's per-program version setting";
        }
        cli_.emplace(test::HostPathToWindows(KESTROVA_CLI_EXE), temp_.Path(), Tag() + L".exe",
                     L"winxp");
    }

    ChildResult Run(const std::wstring& arguments) const { return cli_->Run(arguments); }

    test::RealRegistryLock lock_;
    test::TempFolder temp_;
    std::optional<test::VersionedProgram> cli_;
};

// A system of no known class, and not Windows Vista or later either: Windows 3.1 as Wine
// reports it.
TEST_F(CliAsWindowsTest, StartupOnUnknownWindowsListsAndMovesNothing) {
    cli_->SetVersion(L"win31");
    const ChildResult list = Run(L"startup list --json");
    ASSERT_EQ(list.exitCode, 0u) << list.err;
    const JsonValue json = ParseJson(list.out);
    EXPECT_EQ(json["windowsVersionClass"].Number(), 0);
    EXPECT_EQ(json["scheme"].String(), "none");
    EXPECT_TRUE(json["entries"].Array().empty());

    const ChildResult disable = Run(L"startup disable A --location " + kHkcuRun);
    EXPECT_EQ(disable.exitCode, 1u);
    EXPECT_NE(disable.err.find("version class 0"), std::string::npos) << disable.err;
    EXPECT_TRUE(disable.out.empty());
}

// A Run value of the real HKEY_CURRENT_USER.
class CliStartupTest : public CliAsWindowsTest {
protected:
    void SetUp() override {
        CliAsWindowsTest::SetUp();
        if (!cli_) {
            return;
        }
        PutText(HKEY_CURRENT_USER, kRun, Tag(), kCommandLine);
    }
    void TearDown() override {
        Registry run(HKEY_CURRENT_USER);
        if (run.OpenKey(kRun, false)) {
            run.DeleteValue(Tag());
        }
        Registry(HKEY_LOCAL_MACHINE).DeleteKey(Record());
    }

    // The listed entries of this test's name, as JSON objects.
    std::vector<JsonValue> OwnEntries(int versionClass = 6) const {
        const ChildResult list = Run(L"startup list --json");
        EXPECT_EQ(list.exitCode, 0u) << list.err;
        const JsonValue json = ParseJson(list.out);
        EXPECT_EQ(json["windowsVersionClass"].Number(), versionClass);
        std::vector<JsonValue> own;
        for (const JsonValue& entry : json["entries"].Array()) {
            if (entry["name"].String().find(ToUtf8(Tag())) == 0) {
                own.push_back(entry);
            }
        }
        return own;
    }

    static std::wstring Record() { return std::wstring(kStartupRecordsKey) + L"\\" + Tag(); }

    static constexpr wchar_t kCommandLine[] = L"\"C:\\Program Files\\K\\k\u00e9.exe\" /q";
};

TEST_F(CliStartupTest, DisablesAndEnablesAnHkcuEntryAsWindowsXpKeepsIt) {
    std::vector<JsonValue> own = OwnEntries();
    ASSERT_EQ(own.size(), 1u);
    EXPECT_EQ(own[0]["command"].String(), ToUtf8(kCommandLine));
    EXPECT_EQ(own[0]["location"].String(), ToUtf8(kHkcuRun));
    EXPECT_TRUE(own[0]["enabled"].Bool());

    const std::wstring where = L" --location \"" + kHkcuRun + L"\"";
    const ChildResult disable = Run(L"startup disable " + Tag() + where);
    EXPECT_EQ(disable.exitCode, 0u) << disable.err;
    EXPECT_NE(disable.out.find("Disabled"), std::string::npos) << disable.out;
    EXPECT_EQ(TextOf(HKEY_CURRENT_USER, kRun, Tag()), std::nullopt);
    EXPECT_EQ(TextsOf(HKEY_LOCAL_MACHINE, Record()), (NamedTexts{{L"command", kCommandLine},
                                                                 {L"hkey", L"HKCU"},
                                                                 {L"inimapping", L"0"},
                                                                 {L"item", Tag()},
                                                                 {L"key", kRun}}));
    const ChildResult text = Run(L"startup list");
    EXPECT_EQ(text.exitCode, 0u);
    EXPECT_EQ(text.out.rfind("Name\tCommand\tLocation\tEnabled\n", 0), 0u) << text.out;
    EXPECT_NE(text.out.find(ToUtf8(Tag() + L"\t" + kCommandLine + L"\t" + kHkcuRun + L"\tno\n")),
              std::string::npos)
        << text.out;

    const ChildResult again = Run(L"startup disable " + Tag() + where);
    EXPECT_EQ(again.exitCode, 1u);
    EXPECT_NE(again.err.find("disabled already"), std::string::npos) << again.err;

    // The key path in another letter case names the same location.
    const ChildResult enable =
        Run(L"startup enable " + Tag() +
            L" --location HKCU\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run");
    EXPECT_EQ(enable.exitCode, 0u) << enable.err;
    EXPECT_EQ(TextOf(HKEY_CURRENT_USER, kRun, Tag()), kCommandLine);
    EXPECT_FALSE(KeyPresent(HKEY_LOCAL_MACHINE, Record()));
}

TEST_F(CliStartupTest, UnknownEntriesAreNotFound) {
    for (const std::wstring& arguments :
         {L"startup disable " + Tag() + L"-none --location " + kHkcuRun,
          L"startup disable " + Tag() + L" --location HKLM\\" + kRun,
          std::wstring(L"startup disable \"\" --location HKCU\\Software\\KestrovaNoSuchKey"),
          L"startup enable " + Tag() + L" --location " + kHkcuRun}) {
        const ChildResult result = Run(arguments);
        EXPECT_EQ(result.exitCode, 1u) << ToUtf8(arguments);
        EXPECT_FALSE(result.err.empty());
        EXPECT_TRUE(result.out.empty());
    }
    EXPECT_EQ(TextOf(HKEY_CURRENT_USER, kRun, Tag()), kCommandLine);
    EXPECT_FALSE(KeyPresent(HKEY_LOCAL_MACHINE, Record()));
}

// Registrations of this test's own in the real HKEY_LOCAL_MACHINE, listed as Windows XP lists
// them.
class CliUninstallTest : public CliAsWindowsTest {
protected:
    void SetUp() override {
        CliAsWindowsTest::SetUp();
        if (!cli_) {
            return;
        }
        userKeyExisted_ = KeyPresent(HKEY_CURRENT_USER, kUninstallKey);
        Put(L"a", Tag() + L" beta", L"b.exe /u");
        PutText(HKEY_LOCAL_MACHINE, KeyPath(L"a") + L"\\Sub", L"v", L"x");
        Put(L"b", Tag() + L" Alpha", L"\"C:\\A\\a.exe\"");
        Put(L"c", Tag() + L" \u00c9lan", L"");
        Put(L"d", L"", L"d.exe");  // no display name: never listed
    }
    void TearDown() override {
        for (const wchar_t* name : {L"a", L"b", L"c", L"d", L"s"}) {
            Registry(HKEY_LOCAL_MACHINE).DeleteKey(KeyPath(name));
            Registry(HKEY_LOCAL_MACHINE).DeleteKey(KeyPath32(name));
            Registry(HKEY_CURRENT_USER).DeleteKey(KeyPath(name));
        }
        Registry user(HKEY_CURRENT_USER);
        std::vector<std::wstring> values;
        if (!userKeyExisted_ && user.OpenKeyReadOnly(kUninstallKey) && !user.HasSubKeys() &&
            (user.GetValueNames(values), values.empty())) {
            user.CloseKey();
            user.DeleteKey(kUninstallKey);
        }
    }

    static std::wstring KeyPath(const std::wstring& name) {
        return std::wstring(kUninstallKey) + L"\\" + Tag() + L"-" + name;
    }
    static std::wstring KeyPath32(const std::wstring& name) {
        return std::wstring(kUninstall32Key) + L"\\" + Tag() + L"-" + name;
    }
    static void Put(const std::wstring& name, const std::wstring& displayName,
                    const std::wstring& uninstallString, HKEY root = HKEY_LOCAL_MACHINE,
                    const std::wstring& keyPath = {}) {
        const std::wstring key = keyPath.empty() ? KeyPath(name) : keyPath;
        PutText(root, key, L"DisplayName", displayName);
        PutText(root, key, L"UninstallString", uninstallString);
    }

    // The listed registrations of this test, as "name|uninstall string|key path".
    std::vector<std::string> OwnEntries() const {
        const ChildResult list = Run(L"uninstall list --json");
        EXPECT_EQ(list.exitCode, 0u) << list.err;
        std::vector<std::string> own;
        const JsonValue json = ParseJson(list.out);
        for (const JsonValue& entry : json["entries"].Array()) {
            if (entry["keyPath"].String().find(ToUtf8(Tag())) != std::string::npos) {
                own.push_back(entry["displayName"].String() + "|" +
                              entry["uninstallString"].String() + "|" + entry["keyPath"].String());
            }
        }
        return own;
    }

    bool userKeyExisted_ = true;
};

TEST_F(CliUninstallTest, ListsSortedAndDeletesRegistrationKeys) {
    EXPECT_EQ(OwnEntries(), (std::vector<std::string>{
                                ToUtf8(Tag() + L" Alpha|\"C:\\A\\a.exe\"|" + KeyPath(L"b")),
                                ToUtf8(Tag() + L" beta|b.exe /u|" + KeyPath(L"a")),
                                ToUtf8(Tag() + L" \u00c9lan||" + KeyPath(L"c")),
                            }));
    const ChildResult text = Run(L"uninstall list");
    EXPECT_EQ(text.exitCode, 0u);
    EXPECT_EQ(text.out.rfind("Display Name\tUninstall String\tKey Path\n", 0), 0u) << text.out;
    EXPECT_NE(text.out.find(ToUtf8(Tag() + L" beta\tb.exe /u\t" + KeyPath(L"a") + L"\n")),
              std::string::npos);

    // A key path that is no registration refuses the whole command line.
    const ChildResult refused = Run(L"uninstall delete \"" + KeyPath(L"a") + L"\" Software");
    EXPECT_EQ(refused.exitCode, 2u);
    EXPECT_TRUE(KeyPresent(HKEY_LOCAL_MACHINE, KeyPath(L"a") + L"\\Sub"));

    const ChildResult remove =
        Run(L"uninstall delete \"" + KeyPath(L"a") + L"\" \"" + KeyPath(L"d") + L"\"");
    EXPECT_EQ(remove.exitCode, 0u) << remove.err;
    EXPECT_NE(remove.out.find(ToUtf8(L"Deleted " + KeyPath(L"a"))), std::string::npos);
    EXPECT_FALSE(KeyPresent(HKEY_LOCAL_MACHINE, KeyPath(L"a")));
    EXPECT_FALSE(KeyPresent(HKEY_LOCAL_MACHINE, KeyPath(L"d")));
    EXPECT_TRUE(KeyPresent(HKEY_LOCAL_MACHINE, KeyPath(L"b")));

    // One key gone already: the other is still deleted, and the command tells of the first.
    const ChildResult again =
        Run(L"uninstall delete \"" + KeyPath(L"a") + L"\" \"" + KeyPath(L"b") + L"\"");
    EXPECT_EQ(again.exitCode, 1u);
    EXPECT_NE(again.err.find(ToUtf8(KeyPath(L"a"))), std::string::npos) << again.err;
    EXPECT_FALSE(KeyPresent(HKEY_LOCAL_MACHINE, KeyPath(L"b")));
    EXPECT_TRUE(KeyPresent(HKEY_LOCAL_MACHINE, KeyPath(L"c")));
}

// Windows 7: the registrations of the machine, of the 32-bit view and of the user, each named
// with its root, without system components and updates.
TEST_F(CliUninstallTest, AsWindows7ListsEveryPlaceWithItsRootAndDeletesThatKey) {
    cli_->SetVersion(L"win7");
    Put(L"a", Tag() + L" Gamma", L"w.exe", HKEY_LOCAL_MACHINE, KeyPath32(L"a"));
    Put(L"a", Tag() + L" Delta", L"u.exe", HKEY_CURRENT_USER);
    PutText(HKEY_CURRENT_USER, KeyPath(L"a") + L"\\Sub", L"v", L"x");
    Put(L"s", Tag() + L" Component", L"s.exe");
    PutData(HKEY_LOCAL_MACHINE, KeyPath(L"s"), L"SystemComponent", REG_DWORD, {1, 0, 0, 0});
    Put(L"s", Tag() + L" Update", L"p.exe", HKEY_CURRENT_USER);
    PutText(HKEY_CURRENT_USER, KeyPath(L"s"), L"ParentKeyName", Tag() + L"-a");
    const std::wstring machine = L"HKEY_LOCAL_MACHINE\\";
    const std::wstring user = L"HKEY_CURRENT_USER\\";
    EXPECT_EQ(OwnEntries(),
              (std::vector<std::string>{
                  ToUtf8(Tag() + L" Alpha|\"C:\\A\\a.exe\"|" + machine + KeyPath(L"b")),
                  ToUtf8(Tag() + L" beta|b.exe /u|" + machine + KeyPath(L"a")),
                  ToUtf8(Tag() + L" Delta|u.exe|" + user + KeyPath(L"a")),
                  ToUtf8(Tag() + L" \u00c9lan||" + machine + KeyPath(L"c")),
                  ToUtf8(Tag() + L" Gamma|w.exe|" + machine + KeyPath32(L"a")),
              }));

    // Below a registration, or the user's under the 32-bit view: refused before anything goes.
    for (const std::wstring& keyPath :
         {user + KeyPath(L"a") + L"\\Sub", user + KeyPath32(L"a"), KeyPath(L"a") + L"\\Sub"}) {
        const ChildResult refused =
            Run(L"uninstall delete \"" + user + KeyPath(L"a") + L"\" \"" + keyPath + L"\"");
        EXPECT_EQ(refused.exitCode, 2u) << ToUtf8(keyPath);
    }
    EXPECT_TRUE(KeyPresent(HKEY_CURRENT_USER, KeyPath(L"a") + L"\\Sub"));

    const ChildResult remove = Run(L"uninstall delete \"" + user + KeyPath(L"a") + L"\" \"" +
                                   machine + KeyPath32(L"a") + L"\"");
    EXPECT_EQ(remove.exitCode, 0u) << remove.err;
    EXPECT_FALSE(KeyPresent(HKEY_CURRENT_USER, KeyPath(L"a")));
    EXPECT_FALSE(KeyPresent(HKEY_LOCAL_MACHINE, KeyPath32(L"a")));
    EXPECT_TRUE(KeyPresent(HKEY_LOCAL_MACHINE, KeyPath(L"a") + L"\\Sub"));
}

// Windows 10: programs of the user's Run key, of the 32-bit view's Run key and of the user's
// Startup folder, disabled and enabled through their StartupApproved records, as Task Manager
// keeps them; nothing moves.
class CliStartupApprovedTest : public CliStartupTest {
protected:
    void SetUp() override {
        CliStartupTest::SetUp();
        if (!cli_) {
            return;
        }
        cli_->SetVersion(L"win10");
        wchar_t folder[MAX_PATH] = {};
        ASSERT_TRUE(SUCCEEDED(
            SHGetFolderPathW(nullptr, CSIDL_STARTUP | CSIDL_FLAG_CREATE, nullptr, 0, folder)));
        startupFolder_ = folder;
        test::WriteFileBytes(Shortcut(), "L");
        PutText(HKEY_LOCAL_MACHINE, kRun32Key, Tag(), L"legacy.exe");
    }
    void TearDown() override {
        CliStartupTest::TearDown();
        DeleteFileW(Shortcut().c_str());
        Registry run32(HKEY_LOCAL_MACHINE);
        if (run32.OpenKey(kRun32Key, false)) {
            run32.DeleteValue(Tag());
        }
        for (const auto& [root, kind, name] : Records()) {
            Registry records(root);
            if (records.OpenKey(std::wstring(kStartupApprovedKey) + L"\\" + kind, false)) {
                records.DeleteValue(name);
            }
        }
    }

    std::wstring Shortcut() const { return startupFolder_ + L"\\" + Tag() + L".lnk"; }

    struct Place {
        HKEY root;
        const wchar_t* kind;
        std::wstring name;
    };
    static std::vector<Place> Records() {
        return {{HKEY_CURRENT_USER, L"Run", Tag()},
                {HKEY_LOCAL_MACHINE, L"Run32", Tag()},
                {HKEY_CURRENT_USER, L"StartupFolder", Tag() + L".lnk"}};
    }
    static std::vector<BYTE> RecordBytes(const Place& place) {
        const auto record =
            ValueOf(place.root, std::wstring(kStartupApprovedKey) + L"\\" + place.kind, place.name);
        return record && record->type == REG_BINARY ? record->data : std::vector<BYTE>{};
    }

    std::wstring startupFolder_;
};

TEST_F(CliStartupApprovedTest, DisablesAndEnablesThroughTaskManagersRecords) {
    const std::string run32 = ToUtf8(L"HKLM\\" + std::wstring(kRun32Key));
    std::vector<JsonValue> own = OwnEntries(0);
    ASSERT_EQ(own.size(), 3u);
    EXPECT_EQ(own[0]["location"].String(), ToUtf8(kHkcuRun));
    EXPECT_EQ(own[1]["location"].String(), run32);
    EXPECT_EQ(own[1]["command"].String(), "legacy.exe");
    EXPECT_EQ(own[2]["name"].String(), ToUtf8(Tag() + L".lnk"));
    EXPECT_EQ(own[2]["location"].String(), ToUtf8(startupFolder_));
    EXPECT_EQ(own[2]["command"].String(), ToUtf8(Shortcut()));
    for (const JsonValue& entry : own) {
        EXPECT_TRUE(entry["enabled"].Bool());
    }
    const JsonValue json = ParseJson(Run(L"startup list --json").out);
    EXPECT_EQ(json["scheme"].String(), "approved");

    const std::wstring locations[] = {kHkcuRun, FromUtf8(run32), startupFolder_};
    const std::wstring names[] = {Tag(), Tag(), Tag() + L".lnk"};
    for (size_t i = 0; i < 3; ++i) {
        const ChildResult disable =
            Run(L"startup disable \"" + names[i] + L"\" --location \"" + locations[i] + L"\"");
        EXPECT_EQ(disable.exitCode, 0u) << disable.err;
        const std::vector<BYTE> record = RecordBytes(Records()[i]);
        ASSERT_EQ(record.size(), 12u) << i;
        EXPECT_EQ(std::vector<BYTE>(record.begin(), record.begin() + 4),
                  (std::vector<BYTE>{3, 0, 0, 0}));
        EXPECT_NE(std::vector<BYTE>(record.begin() + 4, record.end()), std::vector<BYTE>(8, 0));
    }
    own = OwnEntries(0);
    ASSERT_EQ(own.size(), 3u);
    for (const JsonValue& entry : own) {
        EXPECT_FALSE(entry["enabled"].Bool());
    }
    EXPECT_EQ(TextOf(HKEY_CURRENT_USER, kRun, Tag()), kCommandLine);
    EXPECT_EQ(TextOf(HKEY_LOCAL_MACHINE, kRun32Key, Tag()), L"legacy.exe");
    EXPECT_TRUE(test::FileExists(Shortcut()));
    EXPECT_FALSE(KeyPresent(HKEY_LOCAL_MACHINE, Record()));

    // The folder in another letter case names the same place.
    std::wstring folder = startupFolder_;
    CharUpperBuffW(folder.data(), static_cast<DWORD>(folder.size()));
    for (size_t i = 0; i < 3; ++i) {
        const ChildResult enable = Run(L"startup enable \"" + names[i] + L"\" --location \"" +
                                       (i == 2 ? folder : locations[i]) + L"\"");
        EXPECT_EQ(enable.exitCode, 0u) << enable.err;
        EXPECT_EQ(RecordBytes(Records()[i]),
                  (std::vector<BYTE>{2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    }
    for (const JsonValue& entry : OwnEntries(0)) {
        EXPECT_TRUE(entry["enabled"].Bool());
    }
}

// Windows 7 keeps disabled programs as Windows XP does, and lists the 32-bit Run key too.
TEST_F(CliStartupTest, AsWindows7The32BitRunKeysProgramsMoveThroughRecords) {
    cli_->SetVersion(L"win7");
    const std::wstring run32 = L"HKLM\\" + std::wstring(kRun32Key);
    PutText(HKEY_LOCAL_MACHINE, kRun32Key, Tag() + L"32", L"legacy.exe");
    const ChildResult list = Run(L"startup list --json");
    EXPECT_EQ(ParseJson(list.out)["scheme"].String(), "records");
    std::vector<JsonValue> own = OwnEntries(0);
    ASSERT_EQ(own.size(), 2u);
    EXPECT_EQ(own[1]["location"].String(), ToUtf8(run32));

    const ChildResult disable =
        Run(L"startup disable " + Tag() + L"32 --location \"" + run32 + L"\"");
    EXPECT_EQ(disable.exitCode, 0u) << disable.err;
    const std::wstring record = std::wstring(kStartupRecordsKey) + L"\\" + Tag() + L"32";
    EXPECT_EQ(TextOf(HKEY_LOCAL_MACHINE, kRun32Key, Tag() + L"32"), std::nullopt);
    EXPECT_EQ(TextOf(HKEY_LOCAL_MACHINE, record, L"key"), kRun32Key);
    EXPECT_EQ(TextOf(HKEY_LOCAL_MACHINE, record, L"hkey"), L"HKLM");

    const ChildResult enable =
        Run(L"startup enable " + Tag() + L"32 --location \"" + run32 + L"\"");
    EXPECT_EQ(enable.exitCode, 0u) << enable.err;
    EXPECT_EQ(TextOf(HKEY_LOCAL_MACHINE, kRun32Key, Tag() + L"32"), L"legacy.exe");
    EXPECT_FALSE(KeyPresent(HKEY_LOCAL_MACHINE, record));
    Registry run(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(run.OpenKey(kRun32Key, false));
    EXPECT_TRUE(run.DeleteValue(Tag() + L"32"));
}

}  // namespace
}  // namespace kestrova
