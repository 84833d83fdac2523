// The groups judged by other tests: Start menu order, shared folders, file extensions and
// legacy device drivers.
#include <windows.h>

#include <algorithm>

#include "scan/scan_checks.h"
#include "scan/system_folders.h"
#include "scan/windows_version.h"
#include "scan_test_fixture.h"

namespace kestrova {
namespace {

using test::ScanTest;

const std::wstring kMenu2 =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\Start Menu2\\Programs";
const std::wstring kMenu =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\Start Menu\\Programs";

class StartMenuOrderTest : public ScanTest {};

TEST_F(StartMenuOrderTest, ReportsEntriesWithoutSubkeysUnderBothKeys) {
    CreateKey(HKEY_CURRENT_USER, kMenu2 + L"\\Accessories\\System Tools");
    SetText(HKEY_CURRENT_USER, kMenu2 + L"\\Games", L"Order", L"");  // values do not count
    CreateKey(HKEY_CURRENT_USER, kMenu + L"\\Old Program");

    Run(ScanStartMenuOrder);

    const std::wstring root = L"HKEY_CURRENT_USER\\";
    ASSERT_EQ(sink_.rows.size(), 2u);
    EXPECT_EQ(sink_.rows[0],
              Reported(L"Start Menu", root + kMenu2 + L"\\Games", L"Games", L"{null value}"));
    EXPECT_EQ(sink_.rows[1], Reported(L"Start Menu", root + kMenu + L"\\Old Program",
                                      L"Old Program", L"{null value}"));
    EXPECT_EQ(sink_.countWrites, (std::vector<std::pair<int, int>>{{kGroupStartMenu, 2}}));
    EXPECT_TRUE(sink_.statuses.empty());
}

TEST_F(StartMenuOrderTest, StopEndsOneKeyTheOtherIsBegunAndTheCounterIsWritten) {
    CreateKey(HKEY_CURRENT_USER, kMenu2 + L"\\A");
    CreateKey(HKEY_CURRENT_USER, kMenu2 + L"\\B");
    CreateKey(HKEY_CURRENT_USER, kMenu + L"\\C");
    CreateKey(HKEY_CURRENT_USER, kMenu + L"\\D");
    sink_.stopWhen = [](const test::RecordingSink& sink) { return !sink.rows.empty(); };

    Run(ScanStartMenuOrder);

    ASSERT_EQ(sink_.rows.size(), 2u);
    EXPECT_EQ(sink_.rows[0].keyValue, L"A");
    EXPECT_EQ(sink_.rows[1].keyValue, L"C");
    EXPECT_EQ(sink_.counts[kGroupStartMenu], 2);
}

TEST_F(StartMenuOrderTest, NeitherKeyPresentWritesZero) {
    Run(ScanStartMenuOrder);
    EXPECT_EQ(sink_.countWrites, (std::vector<std::pair<int, int>>{{kGroupStartMenu, 0}}));
}

// A drive letter that names no drive on this machine.
wchar_t AbsentDriveLetter() {
    const DWORD drives = GetLogicalDrives();
    for (wchar_t letter = L'Y'; letter >= L'D'; --letter) {
        if (!((drives >> (letter - L'A')) & 1u)) {
            return letter;
        }
    }
    return 0;
}

class SharedFoldersTest : public ScanTest {
protected:
    const std::wstring key_ = SharesKeyPath(WindowsVersionClass()).substr(1);
};

TEST_F(SharedFoldersTest, KeyDependsOnTheWindowsFamily) {
    const std::wstring nine = L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Network\\LanMan";
    const std::wstring nt = L"\\SYSTEM\\ControlSet001\\Services\\lanmanserver\\Shares";
    const std::wstring expected[] = {nt, nine, nine, nine, nt, nt, nt, nt};
    for (int versionClass = 0; versionClass <= 7; ++versionClass) {
        EXPECT_EQ(SharesKeyPath(versionClass), expected[versionClass]) << versionClass;
    }
}

TEST_F(SharedFoldersTest, OnlyTwoCharacterDriveSharesOfAbsentDrivesAreStale) {
    const wchar_t absent = AbsentDriveLetter();
    ASSERT_NE(absent, 0);
    const std::wstring lower(1, static_cast<wchar_t>(absent | 0x20));
    struct Case {
        std::wstring name;
        bool stale;
    } cases[] = {
        {std::wstring(1, absent) + L"$", true},
        {lower + L"$", true},
        {L"C$", false},                            // the drive is there
        {L"Z$", false},                            // Wine's view of the host
        {std::wstring(1, absent) + L"$x", false},  // three characters
        {L"AB", false},
        {L"1$", false},
        {L"$", false},
        {L"", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ShareNameStale(c.name), c.stale) << c.name.c_str();
    }
}

TEST_F(SharedFoldersTest, ReportsStaleSharesWithTheDriveRootAsGuessPath) {
    const wchar_t absent = AbsentDriveLetter();
    ASSERT_NE(absent, 0);
    const std::wstring stale = std::wstring(1, absent) + L"$";
    SetRaw(HKEY_LOCAL_MACHINE, key_, L"C$", REG_MULTI_SZ, {0, 0});
    SetRaw(HKEY_LOCAL_MACHINE, key_, stale, REG_MULTI_SZ, {0, 0});
    SetText(HKEY_LOCAL_MACHINE, key_, L"Documents", L"");

    Run(ScanSharedFolders);

    const std::wstring name = L"HKEY_LOCAL_MACHINE\\" + key_ + L"\\";
    const std::wstring root = std::wstring(1, static_cast<wchar_t>(absent | 0x20)) + L":\\";
    ASSERT_EQ(sink_.rows.size(), 1u);
    EXPECT_EQ(sink_.rows[0], Reported(L"Shared Folder", name + stale, stale, root));
    EXPECT_EQ(sink_.counts[kGroupSharedFolders], 1);
    std::vector<std::wstring> statuses = {name + L"C$", name + stale, name + L"Documents"};
    std::sort(statuses.begin(), statuses.end());
    std::sort(sink_.statuses.begin(), sink_.statuses.end());
    EXPECT_EQ(sink_.statuses, statuses);
}

TEST_F(SharedFoldersTest, MissingKeyWritesNothing) {
    Run(ScanSharedFolders);
    EXPECT_TRUE(sink_.countWrites.empty());
}

const std::wstring kFileExts = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts";

class FileExtensionsTest : public ScanTest {};

TEST_F(FileExtensionsTest, ReportsExtensionsNotRegisteredWithoutRegardToCase) {
    CreateKey(HKEY_CLASSES_ROOT, L".txt");
    CreateKey(HKEY_CLASSES_ROOT, L".reg");
    CreateKey(HKEY_CURRENT_USER, kFileExts + L"\\.orphan\\OpenWithList");
    CreateKey(HKEY_CURRENT_USER, kFileExts + L"\\.REG");
    CreateKey(HKEY_CURRENT_USER, kFileExts + L"\\.txt");

    Run(ScanFileExtensions);

    ASSERT_EQ(sink_.rows.size(), 1u);
    EXPECT_EQ(sink_.rows[0], Reported(L"File Extensions",
                                      L"HKEY_CURRENT_USER\\" + kFileExts + L"\\.orphan", L"", L""));
    EXPECT_EQ(sink_.counts[kGroupFileExtensions], 1);
    EXPECT_TRUE(sink_.statuses.empty());
}

TEST_F(FileExtensionsTest, StopAfterAnExtensionLeavesTheCounterUnwritten) {
    CreateKey(HKEY_CURRENT_USER, kFileExts + L"\\.a");
    CreateKey(HKEY_CURRENT_USER, kFileExts + L"\\.b");
    sink_.stopWhen = [](const test::RecordingSink& sink) { return !sink.rows.empty(); };

    Run(ScanFileExtensions);

    EXPECT_EQ(sink_.rows.size(), 1u);
    EXPECT_TRUE(sink_.countWrites.empty());
}

const std::wstring kVxd = L"SYSTEM\\CurrentControlSet\\Services\\VXD";
const std::wstring kVxdName = L"HKEY_LOCAL_MACHINE\\" + kVxd;

class VxdTest : public ScanTest {};

TEST_F(VxdTest, ReportsUncheckedRowsPastTheIgnoreListAndCountsAsItGoes) {
    SetText(HKEY_LOCAL_MACHINE, kVxd + L"\\A Present", L"StaticVxD", L"kernel32.dll");
    SetText(HKEY_LOCAL_MACHINE, kVxd + L"\\B Gone", L"StaticVxD", L"kestrova-gone.vxd");
    SetText(HKEY_LOCAL_MACHINE, kVxd + L"\\C NoValue", L"Start", L"");
    SetRaw(HKEY_LOCAL_MACHINE, kVxd + L"\\D Binary", L"StaticVxD", REG_BINARY, {1, 2});
    AddIgnore(L"HKEY_LOCAL_MACHINE", kVxd, L"B Gone");
    sink_.stopWhen = [](const test::RecordingSink&) { return true; };  // no stop test here

    Run(ScanVxd);

    const std::wstring system = SystemFolder();
    ASSERT_EQ(sink_.rows.size(), 2u);
    EXPECT_EQ(sink_.rows[0], (ErrorRow{L"VxD Error", kVxdName + L"\\B Gone", L"kestrova-gone.vxd",
                                       system + L"kestrova-gone.vxd", false, kDriverRowImage}));
    EXPECT_EQ(sink_.rows[1], (ErrorRow{L"VxD Error", kVxdName + L"\\C NoValue", L"", system, false,
                                       kDriverRowImage}));
    EXPECT_EQ(sink_.countWrites,
              (std::vector<std::pair<int, int>>{{kGroupVxd, 0}, {kGroupVxd, 1}, {kGroupVxd, 2}}));
    EXPECT_EQ(sink_.statuses.size(), 4u);
}

TEST_F(VxdTest, DriverFileTheSystemCannotCheckIsNotReported) {
    SetText(HKEY_LOCAL_MACHINE, kVxd + L"\\A Denied", L"StaticVxD", L"kestrova-denied.vxd");
    SetText(HKEY_LOCAL_MACHINE, kVxd + L"\\B Gone", L"StaticVxD", L"kestrova-gone.vxd");
    probe_.failures[SystemFolder() + L"kestrova-denied.vxd"] = ERROR_ACCESS_DENIED;

    Run(ScanVxd);

    ASSERT_EQ(sink_.rows.size(), 1u);
    EXPECT_EQ(sink_.rows[0].keyName, kVxdName + L"\\B Gone");
    EXPECT_EQ(sink_.counts[kGroupVxd], 1);
}

TEST_F(VxdTest, MissingKeyStillResetsItsCounter) {
    Run(ScanVxd);
    EXPECT_EQ(sink_.countWrites, (std::vector<std::pair<int, int>>{{kGroupVxd, 0}}));
}

}  // namespace
}  // namespace kestrova
