// The console front end's startup and uninstall commands, run as the child process they are.
// A child sees the real registry of the test prefix, not a sandbox: the tests make entries of
// their own under names no one else uses, hold the real-registry lock while they change it,
// and remove what they made even when they fail.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "managers/startup_entries.h"
#include "managers/uninstall_entries.h"
#include "platform/text.h"
#include "registry_fixture.h"
#include "scan/windows_version.h"
#include "support/child_process.h"
#include "support/json_value.h"
#include "support/real_registry_lock.h"
#include "support/temp_folder.h"

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
using test::PutText;
using test::TextOf;
using test::TextsOf;

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

// Without a version setting the test prefix reports a Windows newer than Server 2003.
TEST(CliManagersArgumentsTest, StartupOnUnknownWindowsListsAndMovesNothing) {
    if (WindowsVersionClass() != 0) {
        GTEST_SKIP() << "the test prefix reports version class " << WindowsVersionClass();
    }
    const ChildResult list = Cli(L"startup list --json");
    ASSERT_EQ(list.exitCode, 0u) << list.err;
    const JsonValue json = ParseJson(list.out);
    EXPECT_EQ(json["windowsVersionClass"].Number(), 0);
    EXPECT_TRUE(json["entries"].Array().empty());

    const ChildResult disable = Cli(L"startup disable A --location " + kHkcuRun);
    EXPECT_EQ(disable.exitCode, 1u);
    EXPECT_NE(disable.err.find("version class 0"), std::string::npos) << disable.err;
    EXPECT_TRUE(disable.out.empty());
}

// kestrova-cli copied to a name of its own, run as Windows XP through Wine's per-program
// version setting, on a Run value of the real HKEY_CURRENT_USER.
class CliStartupTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") == nullptr) {
            GTEST_SKIP() << "needs Wine's per-program version setting";
        }
        const std::wstring name = Tag() + L".exe";
        cli_ = temp_ / name;
        ASSERT_TRUE(
            CopyFileW(test::HostPathToWindows(KESTROVA_CLI_EXE).c_str(), cli_.c_str(), FALSE));
        UniqueHKey existing;
        createdAppDefaults_ = RegOpenKeyExW(HKEY_CURRENT_USER, kAppDefaults, 0, KEY_READ,
                                            existing.Put()) != ERROR_SUCCESS;
        settingsKey_ = std::wstring(kAppDefaults) + L"\\" + name;
        PutText(HKEY_CURRENT_USER, settingsKey_, L"Version", L"winxp");
        PutText(HKEY_CURRENT_USER, kRun, Tag(), kCommandLine);
    }
    void TearDown() override {
        if (settingsKey_.empty()) {
            return;
        }
        Registry run(HKEY_CURRENT_USER);
        if (run.OpenKey(kRun, false)) {
            run.DeleteValue(Tag());
        }
        Registry(HKEY_LOCAL_MACHINE).DeleteKey(Record());
        Registry(HKEY_CURRENT_USER).DeleteKey(settingsKey_);
        if (createdAppDefaults_) {
            RegDeleteKeyW(HKEY_CURRENT_USER, kAppDefaults);  // fails, as it should, if not empty
        }
    }

    ChildResult Run(const std::wstring& arguments) const { return test::RunChild(cli_, arguments); }

    // The listed entries of this test's name, as JSON objects.
    std::vector<JsonValue> OwnEntries() const {
        const ChildResult list = Run(L"startup list --json");
        EXPECT_EQ(list.exitCode, 0u) << list.err;
        const JsonValue json = ParseJson(list.out);
        EXPECT_EQ(json["windowsVersionClass"].Number(), 6);
        std::vector<JsonValue> own;
        for (const JsonValue& entry : json["entries"].Array()) {
            if (entry["name"].String() == ToUtf8(Tag())) {
                own.push_back(entry);
            }
        }
        return own;
    }

    static std::wstring Record() { return std::wstring(kStartupRecordsKey) + L"\\" + Tag(); }

    static constexpr wchar_t kAppDefaults[] = L"Software\\Wine\\AppDefaults";
    static constexpr wchar_t kCommandLine[] = L"\"C:\\Program Files\\K\\k\u00e9.exe\" /q";
    test::RealRegistryLock lock_;
    test::TempFolder temp_;
    std::wstring cli_;
    std::wstring settingsKey_;
    bool createdAppDefaults_ = false;
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

// Registrations of this test's own in the real HKEY_LOCAL_MACHINE.
class CliUninstallTest : public ::testing::Test {
protected:
    void SetUp() override {
        Put(L"a", Tag() + L" beta", L"b.exe /u");
        PutText(HKEY_LOCAL_MACHINE, KeyPath(L"a") + L"\\Sub", L"v", L"x");
        Put(L"b", Tag() + L" Alpha", L"\"C:\\A\\a.exe\"");
        Put(L"c", Tag() + L" \u00c9lan", L"");
        Put(L"d", L"", L"d.exe");  // no display name: never listed
    }
    void TearDown() override {
        for (const wchar_t* name : {L"a", L"b", L"c", L"d"}) {
            Registry(HKEY_LOCAL_MACHINE).DeleteKey(KeyPath(name));
        }
    }

    static std::wstring KeyPath(const std::wstring& name) {
        return std::wstring(kUninstallKey) + L"\\" + Tag() + L"-" + name;
    }
    static void Put(const std::wstring& name, const std::wstring& displayName,
                    const std::wstring& uninstallString) {
        PutText(HKEY_LOCAL_MACHINE, KeyPath(name), L"DisplayName", displayName);
        PutText(HKEY_LOCAL_MACHINE, KeyPath(name), L"UninstallString", uninstallString);
    }

    test::RealRegistryLock lock_;
};

TEST_F(CliUninstallTest, ListsSortedAndDeletesRegistrationKeys) {
    const ChildResult list = Cli(L"uninstall list --json");
    ASSERT_EQ(list.exitCode, 0u) << list.err;
    std::vector<std::string> own;
    const JsonValue json = ParseJson(list.out);
    for (const JsonValue& entry : json["entries"].Array()) {
        if (entry["keyPath"].String().find(ToUtf8(Tag())) != std::string::npos) {
            own.push_back(entry["displayName"].String() + "|" + entry["uninstallString"].String() +
                          "|" + entry["keyPath"].String());
        }
    }
    EXPECT_EQ(own, (std::vector<std::string>{
                       ToUtf8(Tag() + L" Alpha|\"C:\\A\\a.exe\"|" + KeyPath(L"b")),
                       ToUtf8(Tag() + L" beta|b.exe /u|" + KeyPath(L"a")),
                       ToUtf8(Tag() + L" \u00c9lan||" + KeyPath(L"c")),
                   }));
    const ChildResult text = Cli(L"uninstall list");
    EXPECT_EQ(text.exitCode, 0u);
    EXPECT_EQ(text.out.rfind("Display Name\tUninstall String\tKey Path\n", 0), 0u) << text.out;
    EXPECT_NE(text.out.find(ToUtf8(Tag() + L" beta\tb.exe /u\t" + KeyPath(L"a") + L"\n")),
              std::string::npos);

    // A key path that is no registration refuses the whole command line.
    const ChildResult refused = Cli(L"uninstall delete \"" + KeyPath(L"a") + L"\" Software");
    EXPECT_EQ(refused.exitCode, 2u);
    EXPECT_TRUE(KeyPresent(HKEY_LOCAL_MACHINE, KeyPath(L"a") + L"\\Sub"));

    const ChildResult remove =
        Cli(L"uninstall delete \"" + KeyPath(L"a") + L"\" \"" + KeyPath(L"d") + L"\"");
    EXPECT_EQ(remove.exitCode, 0u) << remove.err;
    EXPECT_NE(remove.out.find(ToUtf8(L"Deleted " + KeyPath(L"a"))), std::string::npos);
    EXPECT_FALSE(KeyPresent(HKEY_LOCAL_MACHINE, KeyPath(L"a")));
    EXPECT_FALSE(KeyPresent(HKEY_LOCAL_MACHINE, KeyPath(L"d")));
    EXPECT_TRUE(KeyPresent(HKEY_LOCAL_MACHINE, KeyPath(L"b")));

    // One key gone already: the other is still deleted, and the command tells of the first.
    const ChildResult again =
        Cli(L"uninstall delete \"" + KeyPath(L"a") + L"\" \"" + KeyPath(L"b") + L"\"");
    EXPECT_EQ(again.exitCode, 1u);
    EXPECT_NE(again.err.find(ToUtf8(KeyPath(L"a"))), std::string::npos) << again.err;
    EXPECT_FALSE(KeyPresent(HKEY_LOCAL_MACHINE, KeyPath(L"b")));
    EXPECT_TRUE(KeyPresent(HKEY_LOCAL_MACHINE, KeyPath(L"c")));
}

}  // namespace
}  // namespace kestrova
