// The startup and uninstall managers over real registry exports loaded into the sandbox: the
// machine registry of a Windows Me PC (Run, RunServices, twenty uninstall registrations) and
// the Run keys (and, of Windows 10, the StartupApproved records) of Windows XP, 7 and 10 user
// hives, data nobody here wrote.
#include <windows.h>

#include <algorithm>
#include <ostream>

#include <gtest/gtest.h>

#include "managers/startup_approved.h"
#include "managers/startup_manager.h"
#include "managers/uninstall_entries.h"
#include "platform/text.h"
#include "registry_fixture.h"
#include "support/child_process.h"
#include "support/reg_file_import.h"
#include "support/sandbox_test.h"

#ifndef KESTROVA_REGISTRY_DATA_DIR
#define KESTROVA_REGISTRY_DATA_DIR ""
#endif

namespace kestrova {
namespace {

using test::NamedTexts;
using test::SubKeysOf;
using test::TextsOf;
using test::ValueOf;

constexpr int kWindowsMe = 3;
constexpr int kWindowsXp = 6;
const std::wstring kRun = kRunKey;
const std::wstring kRunServices = kRunServicesKey;

class RealRegistryManagersTest : public test::SandboxTest {
protected:
    void SetUp() override {
        const std::wstring folder = test::HostPathToWindows(KESTROVA_REGISTRY_DATA_DIR);
        if (folder.empty() || GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES) {
            GTEST_SKIP() << "no registry exports in " << KESTROVA_REGISTRY_DATA_DIR;
        }
        folder_ = folder + L"\\";
    }

    // The keys of an export at or below one of the given key paths.
    std::wstring KeysOf(const wchar_t* file, const std::vector<std::wstring>& paths) const {
        return test::RegTextOfKeys(folder_ + file, paths);
    }

    void ImportWindowsMe() const {
        test::ImportRegText(KeysOf(L"winme_hklm_dfwinreg.reg",
                                   {L"\\CurrentVersion\\Run", L"\\CurrentVersion\\RunServices",
                                    L"\\CurrentVersion\\Uninstall"}));
    }

    std::wstring folder_;
};

// Entries as a comparable text per row.
std::vector<std::wstring> RowsOf(const std::vector<StartupEntry>& entries) {
    std::vector<std::wstring> rows;
    for (const StartupEntry& entry : entries) {
        rows.push_back(entry.name + L"|" + entry.command + L"|" + entry.location + L"|" +
                       (entry.enabled ? L"on" : L"off"));
    }
    return rows;
}

std::vector<std::wstring> RowsOf(HKEY root, const std::wstring& keyPath, const wchar_t* shortRoot,
                                 bool enabled) {
    std::vector<std::wstring> rows;
    for (const auto& [name, text] : TextsOf(root, keyPath)) {
        rows.push_back(name + L"|" + text + L"|" + shortRoot + L"\\" + keyPath + L"|" +
                       (enabled ? L"on" : L"off"));
    }
    return rows;
}

void Append(std::vector<std::wstring>& rows, const std::vector<std::wstring>& more) {
    rows.insert(rows.end(), more.begin(), more.end());
}

TEST_F(RealRegistryManagersTest, WindowsMeRunEntriesGoToTheSiblingKeysAndBack) {
    ImportWindowsMe();
    const NamedTexts run = TextsOf(HKEY_LOCAL_MACHINE, kRun);
    const NamedTexts runServices = TextsOf(HKEY_LOCAL_MACHINE, kRunServices);
    ASSERT_EQ(run.size(), 5u);
    ASSERT_EQ(runServices.size(), 3u);
    EXPECT_NE(std::find(runServices.begin(), runServices.end(),
                        std::pair<std::wstring, std::wstring>(
                            L"*StateMgr", L"C:\\WINDOWS\\System\\Restore\\StateMgr.exe")),
              runServices.end());

    StartupManager manager;
    manager.Fill(kWindowsMe);
    std::vector<std::wstring> expected = RowsOf(HKEY_LOCAL_MACHINE, kRun, L"HKLM", true);
    Append(expected, RowsOf(HKEY_LOCAL_MACHINE, kRunServices, L"HKLM", true));
    EXPECT_EQ(RowsOf(manager.Entries()), expected);

    // Unchecked all and applied: everything waits in Run- and RunServices-.
    for (const StartupApplied& applied : manager.Apply(std::vector<bool>(8, false), kWindowsMe)) {
        EXPECT_TRUE(applied.result.done) << ToUtf8(applied.result.reason);
    }
    EXPECT_TRUE(TextsOf(HKEY_LOCAL_MACHINE, kRun).empty());
    EXPECT_TRUE(TextsOf(HKEY_LOCAL_MACHINE, kRunServices).empty());
    EXPECT_EQ(TextsOf(HKEY_LOCAL_MACHINE, kRun + L"-"), run);
    EXPECT_EQ(TextsOf(HKEY_LOCAL_MACHINE, kRunServices + L"-"), runServices);
    EXPECT_EQ(manager.Baseline(), std::vector<bool>(8, false));

    for (const StartupApplied& applied : manager.Apply(std::vector<bool>(8, true), kWindowsMe)) {
        EXPECT_TRUE(applied.result.done) << ToUtf8(applied.result.reason);
    }
    EXPECT_EQ(TextsOf(HKEY_LOCAL_MACHINE, kRun), run);
    EXPECT_EQ(TextsOf(HKEY_LOCAL_MACHINE, kRunServices), runServices);
    EXPECT_TRUE(TextsOf(HKEY_LOCAL_MACHINE, kRun + L"-").empty());
    EXPECT_EQ(RowsOf(manager.Entries()), expected);
}

TEST_F(RealRegistryManagersTest, WindowsMeUninstallListsTheOneNamedRegistration) {
    ImportWindowsMe();
    ASSERT_EQ(SubKeysOf(HKEY_LOCAL_MACHINE, kUninstallKey).size(), 20u);
    const std::wstring netMeeting = std::wstring(kUninstallKey) + L"\\NetMeeting";
    // Three others have an uninstaller but no display name.
    const auto entries = ListUninstallEntries();
    ASSERT_TRUE(entries.has_value());
    ASSERT_EQ(entries->size(), 1u);
    EXPECT_EQ((*entries)[0].displayName, L"NetMeeting 3.01");
    EXPECT_EQ((*entries)[0].uninstallString, L"");
    EXPECT_EQ((*entries)[0].keyPath, netMeeting);

    EXPECT_TRUE(DeleteUninstallEntry(netMeeting).done);
    EXPECT_EQ(SubKeysOf(HKEY_LOCAL_MACHINE, kUninstallKey).size(), 19u);
    EXPECT_TRUE(ListUninstallEntries()->empty());
}

struct Hive {
    const wchar_t* file;
    bool unnamedValue;  // its Run key has a default value (empty)
};

void PrintTo(const Hive& hive, std::ostream* out) {
    *out << ToUtf8(hive.file);
}

class UserHiveRunTest : public RealRegistryManagersTest,
                        public ::testing::WithParamInterface<Hive> {};

TEST_P(UserHiveRunTest, RunValuesGoToRecordsAndBack) {
    test::ImportRegText(KeysOf(GetParam().file, {L"\\CurrentVersion\\Run"}));
    const NamedTexts run = TextsOf(HKEY_CURRENT_USER, kRun);
    ASSERT_FALSE(run.empty());
    EXPECT_EQ(
        std::any_of(run.begin(), run.end(), [](const auto& value) { return value.first.empty(); }),
        GetParam().unnamedValue);

    StartupManager manager;
    manager.Fill(kWindowsXp);
    EXPECT_EQ(RowsOf(manager.Entries()), RowsOf(HKEY_CURRENT_USER, kRun, L"HKCU", true));

    const size_t count = run.size();
    for (const StartupApplied& applied :
         manager.Apply(std::vector<bool>(count, false), kWindowsXp)) {
        EXPECT_TRUE(applied.result.done) << ToUtf8(applied.result.reason);
    }
    EXPECT_TRUE(TextsOf(HKEY_CURRENT_USER, kRun).empty());
    EXPECT_EQ(SubKeysOf(HKEY_LOCAL_MACHINE, kStartupRecordsKey).size(), count);
    EXPECT_EQ(manager.Baseline(), std::vector<bool>(count, false));

    for (const StartupApplied& applied :
         manager.Apply(std::vector<bool>(count, true), kWindowsXp)) {
        EXPECT_TRUE(applied.result.done) << ToUtf8(applied.result.reason);
    }
    EXPECT_EQ(TextsOf(HKEY_CURRENT_USER, kRun), run);
    EXPECT_TRUE(SubKeysOf(HKEY_LOCAL_MACHINE, kStartupRecordsKey).empty());
}

INSTANTIATE_TEST_SUITE_P(RealHives, UserHiveRunTest,
                         ::testing::Values(Hive{L"xp_ntuser_joe.reg", false},
                                           Hive{L"win7_ntuser_nfury.reg", false},
                                           Hive{L"win10_ntuser_tony.importsafe.reg", true}));

// A Windows 10 user's Run key with the StartupApproved record Windows keeps for one of them
// (twelve zero bytes: enabled).
TEST_F(RealRegistryManagersTest, Windows10RunEntriesAreDisabledAndEnabledThroughTheirRecords) {
    test::ImportRegText(KeysOf(L"win10_ntuser_tony.importsafe.reg",
                               {L"\\CurrentVersion\\Run", L"\\Explorer\\StartupApproved"}));
    const std::wstring records = std::wstring(kStartupApprovedKey) + L"\\Run";
    const NamedTexts run = TextsOf(HKEY_CURRENT_USER, kRun);
    ASSERT_EQ(run.size(), 5u);
    ASSERT_EQ(ValueOf(HKEY_CURRENT_USER, records, L"Docker Desktop")->data,
              std::vector<BYTE>(12, 0));
    const StartupPlaces windows10 = {StartupScheme::Approved};

    StartupManager manager;
    manager.Fill(windows10);
    EXPECT_EQ(RowsOf(manager.Entries()), RowsOf(HKEY_CURRENT_USER, kRun, L"HKCU", true));
    const test::RegistryDump before = test::DumpRegistry();

    // Every one unchecked and applied: one record each, the values where they were.
    for (const StartupApplied& applied : manager.Apply(std::vector<bool>(5, false), windows10)) {
        EXPECT_TRUE(applied.result.done) << ToUtf8(applied.result.reason);
    }
    EXPECT_EQ(TextsOf(HKEY_CURRENT_USER, kRun), run);
    EXPECT_EQ(manager.Baseline(), std::vector<bool>(5, false));
    for (const auto& [name, text] : run) {
        const auto record = ValueOf(HKEY_CURRENT_USER, records, name);
        ASSERT_TRUE(record) << ToUtf8(name);
        EXPECT_EQ(record->data.size(), 12u);
        EXPECT_EQ(record->data[0], 3);
    }

    for (const StartupApplied& applied : manager.Apply(std::vector<bool>(5, true), windows10)) {
        EXPECT_TRUE(applied.result.done) << ToUtf8(applied.result.reason);
    }
    // The records now say "enabled" as Windows writes it; nothing else changed.
    test::RegistryDump after = test::DumpRegistry();
    test::RegistryDump expected = before;
    const std::wstring recordKey = test::DumpedKeyName(after, L"HKEY_CURRENT_USER\\" + records);
    for (const auto& [name, text] : run) {
        expected[recordKey][name] =
            test::DumpedValue{REG_BINARY, {2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}};
    }
    EXPECT_TRUE(after == expected) << test::DescribeDifferences(expected, after);
}

}  // namespace
}  // namespace kestrova
