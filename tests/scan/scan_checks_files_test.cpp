// The groups whose entries name files: App Paths, CLSID, help files, fonts, shared DLLs,
// shell extensions, sound events and uninstall entries.
#include <algorithm>

#include "platform/unique_handles.h"
#include "scan/guess_path.h"
#include "scan/scan_checks.h"
#include "scan/system_folders.h"
#include "scan/windows_version.h"
#include "scan_test_fixture.h"

namespace kestrova {
namespace {

using test::CurrentDirectory;
using test::Lowered;
using test::ScanTest;

const std::wstring kAppPaths = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";
const std::wstring kAppPathsName = L"HKEY_LOCAL_MACHINE\\" + kAppPaths;

class AppPathsTest : public ScanTest {};

TEST_F(AppPathsTest, ReportsOnlyEntriesWhoseProgramIsGone) {
    const std::wstring present = MakeFile(L"present.exe");
    const std::wstring gone = L"\"" + Gone(L"Gone App.exe") + L"\" /background";
    SetText(HKEY_LOCAL_MACHINE, kAppPaths + L"\\a.exe", L"", present);
    SetText(HKEY_LOCAL_MACHINE, kAppPaths + L"\\b.exe", L"", gone);
    SetText(HKEY_LOCAL_MACHINE, kAppPaths + L"\\c.exe", L"", L"");             // empty
    SetText(HKEY_LOCAL_MACHINE, kAppPaths + L"\\d.exe", L"", temp_.Path());    // a folder
    CreateKey(HKEY_LOCAL_MACHINE, kAppPaths + L"\\e.exe");                     // no value
    SetText(HKEY_LOCAL_MACHINE, kAppPaths + L"\\f.exe", L"Path", Gone(L"x"));  // not read

    Run(ScanAppPaths);

    ASSERT_EQ(sink_.rows.size(), 1u);
    EXPECT_EQ(sink_.rows[0], Reported(L"Application", kAppPathsName + L"\\b.exe", gone,
                                      Lowered(Gone(L"Gone App.exe"))));
    EXPECT_EQ(sink_.counts[kGroupAppPaths], 1);
    const std::vector<std::wstring> statuses = {
        kAppPathsName + L"\\a.exe", kAppPathsName + L"\\b.exe", kAppPathsName + L"\\c.exe",
        kAppPathsName + L"\\d.exe", kAppPathsName + L"\\e.exe", kAppPathsName + L"\\f.exe"};
    EXPECT_EQ(sink_.statuses, statuses);
}

TEST_F(AppPathsTest, MissingKeyEndsTheGroupWithoutItsCounter) {
    Run(ScanAppPaths);
    EXPECT_TRUE(sink_.rows.empty());
    EXPECT_TRUE(sink_.countWrites.empty());
}

TEST_F(AppPathsTest, SubkeyThatNoLongerOpensIsPassedOverAndTheWalkGoesOn) {
    SetText(HKEY_LOCAL_MACHINE, kAppPaths + L"\\a.exe", L"", Gone(L"a.exe"));
    SetText(HKEY_LOCAL_MACHINE, kAppPaths + L"\\b.exe", L"", Gone(L"b.exe"));
    SetText(HKEY_LOCAL_MACHINE, kAppPaths + L"\\c.exe", L"", Gone(L"c.exe"));
    // b.exe goes between the listing and its turn.
    sink_.onStatus = [&](const std::wstring& status) {
        if (status.ends_with(L"\\b.exe")) {
            DeleteKey(HKEY_LOCAL_MACHINE, kAppPaths + L"\\b.exe");
        }
    };

    Run(ScanAppPaths);

    ASSERT_EQ(sink_.rows.size(), 2u);
    EXPECT_EQ(sink_.rows[0].keyName, kAppPathsName + L"\\a.exe");
    EXPECT_EQ(sink_.rows[1].keyName, kAppPathsName + L"\\c.exe");
    EXPECT_EQ(sink_.statuses.size(), 3u);  // c.exe is examined too
    EXPECT_EQ(sink_.counts[kGroupAppPaths], 2);
}

TEST_F(AppPathsTest, ValueOfAnotherTypeIsPassedOverAndTheWalkGoesOn) {
    SetRaw(HKEY_LOCAL_MACHINE, kAppPaths + L"\\a.exe", L"", REG_MULTI_SZ, {'x', 0, 0, 0, 0, 0});
    SetDword(HKEY_LOCAL_MACHINE, kAppPaths + L"\\b.exe", L"");
    SetRaw(HKEY_LOCAL_MACHINE, kAppPaths + L"\\c.exe", L"", REG_BINARY, {1, 2, 3});
    SetText(HKEY_LOCAL_MACHINE, kAppPaths + L"\\d.exe", L"", Gone(L"d.exe"));

    Run(ScanAppPaths);

    ASSERT_EQ(sink_.rows.size(), 1u);
    EXPECT_EQ(sink_.rows[0].keyName, kAppPathsName + L"\\d.exe");
    EXPECT_EQ(sink_.counts[kGroupAppPaths], 1);
}

TEST_F(AppPathsTest, StopAfterAnEntryLeavesTheCounterUnwritten) {
    for (const wchar_t* name : {L"a.exe", L"b.exe", L"c.exe"}) {
        SetText(HKEY_LOCAL_MACHINE, kAppPaths + L"\\" + name, L"", Gone(name));
    }
    sink_.stopWhen = [](const test::RecordingSink& sink) { return sink.rows.size() >= 2; };

    Run(ScanAppPaths);

    EXPECT_EQ(sink_.rows.size(), 2u);
    EXPECT_TRUE(sink_.countWrites.empty());
}

class ClsidTest : public ScanTest {
protected:
    void SetServer(const std::wstring& classKey, const std::wstring& suffix,
                   const std::wstring& data) {
        SetText(HKEY_CLASSES_ROOT, L"CLSID\\" + classKey + L"\\" + suffix, L"", data);
    }
};

TEST_F(ClsidTest, ReportsEachSuffixNamingAMissingFileInSuffixOrder) {
    const std::wstring present = MakeFile(L"icons.dll");
    const std::wstring a = L"{00000001-0000-0000-0000-000000000000}";
    SetServer(a, L"InprocServer32", Gone(L"server.dll"));
    SetServer(a, L"LocalServer32", Gone(L"server.exe") + L" -Embedding");
    SetServer(a, L"DefaultIcon", present + L",3");
    SetServer(a, L"ProgID", Gone(L"not-a-file-suffix.dll"));
    // A reference to another class is no file; a name that is no class identifier is not
    // judged at all.
    SetServer(L"{00000002-0000-0000-0000-000000000000}", L"InprocHandler32",
              L"{00000320-0000-0000-C000-000000000046}");
    SetServer(L"Interface.Name", L"InprocServer32", Gone(L"other.dll"));

    Run(ScanClsid);

    const std::wstring keyA = L"HKEY_CLASSES_ROOT\\CLSID\\" + a;
    ASSERT_EQ(sink_.rows.size(), 2u);
    EXPECT_EQ(sink_.rows[0],
              Reported(L"COM/ActiveX", keyA + L"\\LocalServer32",
                       Gone(L"server.exe") + L" -Embedding", Lowered(Gone(L"server.exe"))));
    EXPECT_EQ(sink_.rows[1], Reported(L"COM/ActiveX", keyA + L"\\InprocServer32",
                                      Gone(L"server.dll"), Lowered(Gone(L"server.dll"))));
    EXPECT_EQ(sink_.counts[kGroupClsid], 2);
    // One status per class, without a suffix.
    std::vector<std::wstring> statuses = {
        keyA, L"HKEY_CLASSES_ROOT\\CLSID\\{00000002-0000-0000-0000-000000000000}",
        L"HKEY_CLASSES_ROOT\\CLSID\\Interface.Name"};
    std::sort(statuses.begin(), statuses.end());
    std::sort(sink_.statuses.begin(), sink_.statuses.end());
    EXPECT_EQ(sink_.statuses, statuses);
}

TEST_F(ClsidTest, StopIsTestedAfterAllSuffixesOfAClass) {
    const std::wstring a = L"{0000000A-0000-0000-0000-000000000000}";
    const std::wstring b = L"{0000000B-0000-0000-0000-000000000000}";
    SetServer(a, L"InprocHandler", Gone(L"h.dll"));
    SetServer(a, L"InprocServer32", Gone(L"s.dll"));
    SetServer(b, L"InprocServer32", Gone(L"b.dll"));
    sink_.stopWhen = [](const test::RecordingSink& sink) { return !sink.rows.empty(); };

    Run(ScanClsid);

    ASSERT_EQ(sink_.rows.size(), 2u);  // both suffixes of the first class, not the second
    EXPECT_TRUE(sink_.rows[1].keyName.ends_with(a + L"\\InprocServer32"));
    EXPECT_TRUE(sink_.countWrites.empty());
}

TEST_F(ClsidTest, SuffixValueOfAnotherTypeIsPassedOver) {
    const std::wstring a = L"{0000000A-0000-0000-0000-000000000000}";
    SetRaw(HKEY_CLASSES_ROOT, L"CLSID\\" + a + L"\\DefaultIcon", L"", REG_BINARY, {0x41, 0});
    SetServer(a, L"InprocServer32", Gone(L"s.dll"));

    Run(ScanClsid);

    ASSERT_EQ(sink_.rows.size(), 1u);
    EXPECT_TRUE(sink_.rows[0].keyName.ends_with(L"\\InprocServer32"));
    EXPECT_EQ(sink_.counts[kGroupClsid], 1);
}

const std::wstring kHelp = L"SOFTWARE\\Microsoft\\Windows\\Help";
const std::wstring kHtmlHelp = L"SOFTWARE\\Microsoft\\Windows\\HTML Help";

class HelpFilesTest : public ScanTest {};

TEST_F(HelpFilesTest, TestsFolderPlusNameInBothKeysWithOneCounter) {
    MakeFile(L"a-present.hlp");
    const std::wstring folder = temp_.Path().substr(0, temp_.Path().size() - 1);  // no "\"
    SetText(HKEY_LOCAL_MACHINE, kHelp, L"a-present.hlp", folder);
    SetText(HKEY_LOCAL_MACHINE, kHelp, L"b-gone.hlp", temp_.Path());
    SetText(HKEY_LOCAL_MACHINE, kHtmlHelp, L"gone.chm", folder);

    Run(ScanHelpFiles);

    const std::wstring help = L"HKEY_LOCAL_MACHINE\\" + kHelp;
    const std::wstring html = L"HKEY_LOCAL_MACHINE\\" + kHtmlHelp;
    ASSERT_EQ(sink_.rows.size(), 2u);
    EXPECT_EQ(sink_.rows[0], Reported(L"Help File", help + L"\\b-gone.hlp", Gone(L"b-gone.hlp"),
                                      Lowered(Gone(L"b-gone.hlp"))));
    EXPECT_EQ(sink_.rows[1], Reported(L"Help File", html + L"\\gone.chm", Gone(L"gone.chm"),
                                      Lowered(Gone(L"gone.chm"))));
    EXPECT_EQ(sink_.countWrites, (std::vector<std::pair<int, int>>{{kGroupHelpFiles, 2}}));
    const std::vector<std::wstring> statuses = {help + L"\\a-present.hlp", help + L"\\b-gone.hlp",
                                                html + L"\\gone.chm"};
    EXPECT_EQ(sink_.statuses, statuses);
}

TEST_F(HelpFilesTest, EmptyDataTestsTheBareNameWhereWindowsLooksButNeverTheCurrentDirectory) {
    // The Help folder is one of the test's own.
    ASSERT_TRUE(CreateDirectoryW((temp_ / L"Help").c_str(), nullptr));
    places_.help = temp_ / L"Help\\";
    MakeFile(L"Help\\in-help-folder.hlp");
    MakeFile(L"local.hlp");
    const CurrentDirectory here(temp_.Path());
    SetText(HKEY_LOCAL_MACHINE, kHelp, L"in-help-folder.hlp", L"");  // Help folder
    SetText(HKEY_LOCAL_MACHINE, kHelp, L"local.hlp", L"");           // current directory only
    SetText(HKEY_LOCAL_MACHINE, kHelp, L"notepad.exe", L"");         // Windows folder
    SetText(HKEY_LOCAL_MACHINE, kHelp, L"kernel32.dll", L"");        // system folder
    SetText(HKEY_LOCAL_MACHINE, kHelp, L"kestrova-none.hlp", L"");   // nowhere

    Run(ScanHelpFiles);

    // Where the program happens to run from decides nothing.
    ASSERT_EQ(sink_.rows.size(), 2u);
    EXPECT_EQ(sink_.rows[0].keyValue, L"kestrova-none.hlp");
    EXPECT_EQ(sink_.rows[0].guessPath, SystemFolder() + L"kestrova-none.hlp");
    EXPECT_EQ(sink_.rows[1].keyValue, L"local.hlp");
    EXPECT_EQ(sink_.rows[1].guessPath, SystemFolder() + L"local.hlp");
}

TEST_F(HelpFilesTest, StopEndsTheFirstKeyButTheSecondKeysFirstValueIsExamined) {
    for (const wchar_t* name : {L"a.hlp", L"b.hlp"}) {
        SetText(HKEY_LOCAL_MACHINE, kHelp, name, temp_.Path());
    }
    for (const wchar_t* name : {L"c.chm", L"d.chm"}) {
        SetText(HKEY_LOCAL_MACHINE, kHtmlHelp, name, temp_.Path());
    }
    SetDword(HKEY_LOCAL_MACHINE, kHelp, L"counted.hlp");  // another type: passed over
    sink_.stopWhen = [](const test::RecordingSink& sink) { return !sink.rows.empty(); };

    Run(ScanHelpFiles);

    ASSERT_EQ(sink_.rows.size(), 2u);
    EXPECT_TRUE(sink_.rows[0].keyName.ends_with(L"\\a.hlp"));
    EXPECT_TRUE(sink_.rows[1].keyName.ends_with(L"\\c.chm"));
    EXPECT_EQ(sink_.counts[kGroupHelpFiles], 2);
}

class FontsTest : public ScanTest {
protected:
    // The bare name of a file in the system's Fonts folder, or empty when it holds none.
    std::wstring AnyFileInFontsFolder() const {
        WIN32_FIND_DATAW data;
        UniqueFindHandle find(FindFirstFileW((places_.fonts + L"*").c_str(), &data));
        if (find) {
            do {
                if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                    return data.cFileName;
                }
            } while (FindNextFileW(find.Get(), &data));
        }
        return {};
    }

    const std::wstring key_ = FontsKeyPath(WindowsVersionClass()).substr(1);
};

TEST_F(FontsTest, KeyDependsOnTheWindowsFamily) {
    const std::wstring nine = L"\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Fonts";
    const std::wstring nt = L"\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
    const std::wstring expected[] = {nt, nine, nine, nine, nt, nt, nt, nt};
    for (int versionClass = 0; versionClass <= 7; ++versionClass) {
        EXPECT_EQ(FontsKeyPath(versionClass), expected[versionClass]) << versionClass;
    }
}

TEST_F(FontsTest, BareNamesAreTakenFromTheSystemsFontsFolder) {
    const std::wstring name = L"HKEY_LOCAL_MACHINE\\" + key_;
    SetText(HKEY_LOCAL_MACHINE, key_, L"A Missing (TrueType)", L"kestrova-missing.ttf");
    const std::wstring installed = AnyFileInFontsFolder();
    if (!installed.empty()) {
        SetText(HKEY_LOCAL_MACHINE, key_, L"B Installed", installed);
    }
    SetText(HKEY_LOCAL_MACHINE, key_, L"C Present", MakeFile(L"present.ttf"));
    SetText(HKEY_LOCAL_MACHINE, key_, L"D Gone", Gone(L"gone.ttf"));
    SetRaw(HKEY_LOCAL_MACHINE, key_, L"E Odd", REG_BINARY, {1});

    Run(ScanFonts);

    ASSERT_EQ(sink_.rows.size(), 2u);
    EXPECT_EQ(sink_.rows[0], Reported(L"Font File", name + L"\\A Missing (TrueType)",
                                      places_.fonts + L"kestrova-missing.ttf",
                                      Lowered(places_.fonts + L"kestrova-missing.ttf")));
    EXPECT_EQ(sink_.rows[1], Reported(L"Font File", name + L"\\D Gone", Gone(L"gone.ttf"),
                                      Lowered(Gone(L"gone.ttf"))));
    EXPECT_EQ(sink_.counts[kGroupFonts], 2);
    EXPECT_EQ(sink_.statuses.size(), installed.empty() ? 4u : 5u);
}

TEST_F(FontsTest, WindowsInAnotherFolderHasItsFontsThere) {
    ASSERT_TRUE(CreateDirectoryW((temp_ / L"Fonts").c_str(), nullptr));
    places_.fonts = temp_ / L"Fonts\\";
    MakeFile(L"Fonts\\kestrova-sans.ttf");
    SetText(HKEY_LOCAL_MACHINE, key_, L"Kestrova Sans (TrueType)", L"kestrova-sans.ttf");
    SetText(HKEY_LOCAL_MACHINE, key_, L"Kestrova Gone (TrueType)", L"kestrova-gone.ttf");

    Run(ScanFonts);

    ASSERT_EQ(sink_.rows.size(), 1u);
    EXPECT_EQ(sink_.rows[0],
              Reported(L"Font File", L"HKEY_LOCAL_MACHINE\\" + key_ + L"\\Kestrova Gone (TrueType)",
                       places_.fonts + L"kestrova-gone.ttf",
                       Lowered(places_.fonts + L"kestrova-gone.ttf")));
    EXPECT_EQ(sink_.counts[kGroupFonts], 1);
}

TEST_F(FontsTest, MissingKeyStillWritesACountOfZero) {
    Run(ScanFonts);
    EXPECT_EQ(sink_.countWrites, (std::vector<std::pair<int, int>>{{kGroupFonts, 0}}));
}

TEST_F(FontsTest, StopWritesTheCountFoundSoFar) {
    for (const wchar_t* name : {L"a.ttf", L"b.ttf", L"c.ttf"}) {
        SetText(HKEY_LOCAL_MACHINE, key_, name, Gone(name));
    }
    sink_.stopWhen = [](const test::RecordingSink& sink) { return !sink.rows.empty(); };

    Run(ScanFonts);

    EXPECT_EQ(sink_.rows.size(), 1u);
    EXPECT_EQ(sink_.counts[kGroupFonts], 1);
}

const std::wstring kSharedDlls = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls";

class SharedDllsTest : public ScanTest {};

TEST_F(SharedDllsTest, ValueNameIsTheCandidateAndItsDataIsNotRead) {
    SetDword(HKEY_LOCAL_MACHINE, kSharedDlls, MakeFile(L"present.dll"));
    SetDword(HKEY_LOCAL_MACHINE, kSharedDlls, Gone(L"gone.dll"));
    SetRaw(HKEY_LOCAL_MACHINE, kSharedDlls, Gone(L"z-binary.dll"), REG_BINARY, {});

    Run(ScanSharedDlls);

    const std::wstring name = L"HKEY_LOCAL_MACHINE\\" + kSharedDlls + L"\\";
    ASSERT_EQ(sink_.rows.size(), 2u);
    EXPECT_EQ(sink_.rows[0], Reported(L"Shared DLLs", name + Gone(L"gone.dll"), Gone(L"gone.dll"),
                                      Lowered(Gone(L"gone.dll"))));
    EXPECT_EQ(sink_.rows[1].keyValue, Gone(L"z-binary.dll"));
    EXPECT_EQ(sink_.counts[kGroupSharedDlls], 2);
}

TEST_F(SharedDllsTest, IgnoreEntrySplitAtTheFilesFolderSuppressesIt) {
    SetDword(HKEY_LOCAL_MACHINE, kSharedDlls, Gone(L"gone.dll"));
    SetDword(HKEY_LOCAL_MACHINE, kSharedDlls, Gone(L"other.dll"));
    // As "Add to Ignore List" makes it: KEY runs from SOFTWARE down to the file's folder.
    const std::wstring folder = temp_.Path().substr(0, temp_.Path().size() - 1);
    AddIgnore(L"HKEY_LOCAL_MACHINE", kSharedDlls + L"\\" + folder, L"gone.dll");

    Run(ScanSharedDlls);

    ASSERT_EQ(sink_.rows.size(), 1u);
    EXPECT_EQ(sink_.rows[0].keyValue, Gone(L"other.dll"));
    EXPECT_EQ(sink_.counts[kGroupSharedDlls], 1);
}

TEST_F(SharedDllsTest, StopAfterANameEndsTheGroupWithItsCounterUnwritten) {
    for (const wchar_t* file : {L"a.dll", L"b.dll", L"c.dll"}) {
        SetDword(HKEY_LOCAL_MACHINE, kSharedDlls, Gone(file));
    }
    sink_.stopWhen = [](const test::RecordingSink& sink) { return sink.rows.size() >= 2; };

    Run(ScanSharedDlls);

    EXPECT_EQ(sink_.rows.size(), 2u);
    EXPECT_EQ(sink_.statuses.size(), 2u);  // the third name is never examined
    EXPECT_TRUE(sink_.countWrites.empty());
}

const std::wstring kApproved =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";

class ShellExtensionsTest : public ScanTest {};

TEST_F(ShellExtensionsTest, ReportsApprovedEntryWhoseServerIsGone) {
    const std::wstring a = L"{0000000A-0000-0000-0000-000000000000}";
    const std::wstring b = L"{0000000B-0000-0000-0000-000000000000}";
    const std::wstring c = L"{0000000C-0000-0000-0000-000000000000}";
    const std::wstring d = L"{0000000D-0000-0000-0000-000000000000}";
    for (const std::wstring& id : {a, b, c, d}) {
        SetText(HKEY_LOCAL_MACHINE, kApproved, id, L"Some extension");
    }
    SetText(HKEY_CLASSES_ROOT, L"CLSID\\" + a + L"\\InprocServer32", L"", Gone(L"ext.dll"));
    SetText(HKEY_CLASSES_ROOT, L"CLSID\\" + b + L"\\InprocServer32", L"", MakeFile(L"ok.dll"));
    SetDword(HKEY_CLASSES_ROOT, L"CLSID\\" + d + L"\\InprocServer32", L"");  // c: unregistered

    Run(ScanShellExtensions);

    ASSERT_EQ(sink_.rows.size(), 1u);
    EXPECT_EQ(sink_.rows[0],
              Reported(L"Shell Extensions", L"HKEY_LOCAL_MACHINE\\" + kApproved + L"\\" + a,
                       Gone(L"ext.dll"), Lowered(Gone(L"ext.dll"))));
    EXPECT_EQ(sink_.counts[kGroupShellExtensions], 1);
    EXPECT_TRUE(sink_.statuses.empty());
}

TEST_F(ShellExtensionsTest, UnregisteredClassIsSkippedWithoutAStopTest) {
    const std::wstring a = L"{0000000A-0000-0000-0000-000000000000}";
    const std::wstring b = L"{0000000B-0000-0000-0000-000000000000}";
    const std::wstring c = L"{0000000C-0000-0000-0000-000000000000}";
    for (const std::wstring& id : {a, b, c}) {
        SetText(HKEY_LOCAL_MACHINE, kApproved, id, L"");
    }
    SetText(HKEY_CLASSES_ROOT, L"CLSID\\" + b + L"\\InprocServer32", L"", Gone(L"b.dll"));
    SetText(HKEY_CLASSES_ROOT, L"CLSID\\" + c + L"\\InprocServer32", L"", Gone(L"c.dll"));
    sink_.stopWhen = [](const test::RecordingSink&) { return true; };

    Run(ScanShellExtensions);

    // a is unregistered: no stop test; b is examined, then the stop ends the group.
    ASSERT_EQ(sink_.rows.size(), 1u);
    EXPECT_EQ(sink_.rows[0].keyValue, Gone(L"b.dll"));
    EXPECT_TRUE(sink_.countWrites.empty());
}

const std::wstring kApps = L"AppEvents\\Schemes\\Apps";

class SoundEventsTest : public ScanTest {};

TEST_F(SoundEventsTest, WalksCurrentThenDefaultOfEveryEventAndNeverStops) {
    const std::wstring ding = kApps + L"\\.Default\\SystemAsterisk";
    SetText(HKEY_CURRENT_USER, ding + L"\\.Current", L"", Gone(L"ding.wav"));
    SetText(HKEY_CURRENT_USER, ding + L"\\.Default", L"", MakeFile(L"chord.wav"));
    SetText(HKEY_CURRENT_USER, kApps + L"\\Explorer\\Navigating\\.Current", L"", L"");
    SetText(HKEY_CURRENT_USER, kApps + L"\\Explorer\\Navigating\\.Default", L"",
            Gone(L"start.wav"));
    SetRaw(HKEY_CURRENT_USER, kApps + L"\\Explorer\\Odd\\.Current", L"", REG_BINARY, {7});
    CreateKey(HKEY_CURRENT_USER, kApps + L"\\NoEvents");
    sink_.stopWhen = [](const test::RecordingSink&) { return true; };

    Run(ScanSoundEvents);

    const std::wstring root = L"HKEY_CURRENT_USER\\";
    ASSERT_EQ(sink_.rows.size(), 2u);
    EXPECT_EQ(sink_.rows[0], Reported(L"Sound AppEvent", root + ding + L"\\.Current",
                                      Gone(L"ding.wav"), Lowered(Gone(L"ding.wav"))));
    EXPECT_EQ(sink_.rows[1].keyName, root + kApps + L"\\Explorer\\Navigating\\.Default");
    EXPECT_EQ(sink_.counts[kGroupSoundEvents], 2);
    EXPECT_TRUE(std::find(sink_.statuses.begin(), sink_.statuses.end(),
                          root + ding + L"\\.Default") != sink_.statuses.end());
}

TEST_F(SoundEventsTest, BareSoundNamesAreLookedForInTheMediaFolder) {
    ASSERT_TRUE(CreateDirectoryW((temp_ / L"Media").c_str(), nullptr));
    places_.media = temp_ / L"Media\\";
    MakeFile(L"Media\\kestrova-chime.wav");
    const std::wstring event = kApps + L"\\Kestrova\\Chime";
    SetText(HKEY_CURRENT_USER, event + L"\\.Current", L"", L"kestrova-chime.wav");
    SetText(HKEY_CURRENT_USER, event + L"\\.Default", L"", L"kestrova-gone.wav");

    Run(ScanSoundEvents);

    ASSERT_EQ(sink_.rows.size(), 1u);
    EXPECT_EQ(sink_.rows[0],
              Reported(L"Sound AppEvent", L"HKEY_CURRENT_USER\\" + event + L"\\.Default",
                       L"kestrova-gone.wav", SystemFolder() + L"kestrova-gone.wav"));
}

TEST_F(SoundEventsTest, EmptyTopKeyWritesZeroAndMissingKeyWritesNothing) {
    Run(ScanSoundEvents);
    EXPECT_TRUE(sink_.countWrites.empty());

    CreateKey(HKEY_CURRENT_USER, kApps);
    Run(ScanSoundEvents);
    EXPECT_EQ(sink_.countWrites, (std::vector<std::pair<int, int>>{{kGroupSoundEvents, 0}}));
}

const std::wstring kUninstall = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const std::wstring kUninstallName = L"HKEY_LOCAL_MACHINE\\" + kUninstall;

class UninstallTest : public ScanTest {};

TEST_F(UninstallTest, ReportsTheUninstallStringOfEntriesWhoseUninstallerIsGone) {
    const std::wstring gone = L"\"" + Gone(L"unins000.exe") + L"\" /SILENT";
    SetText(HKEY_LOCAL_MACHINE, kUninstall + L"\\App", L"UninstallString", gone);
    SetText(HKEY_LOCAL_MACHINE, kUninstall + L"\\Msi", L"UninstallString",
            L"MsiExec.exe /X{00000000-0000-0000-0000-000000000001}");
    SetText(HKEY_LOCAL_MACHINE, kUninstall + L"\\Present", L"UninstallString",
            MakeFile(L"uninstall.exe") + L" /remove");
    SetText(HKEY_LOCAL_MACHINE, kUninstall + L"\\NoString", L"DisplayName", L"x");
    SetDword(HKEY_LOCAL_MACHINE, kUninstall + L"\\Number", L"UninstallString");

    Run(ScanUninstall);

    ASSERT_EQ(sink_.rows.size(), 1u);
    EXPECT_EQ(sink_.rows[0], Reported(L"Uninstall", kUninstallName + L"\\App\\UninstallString",
                                      gone, Lowered(Gone(L"unins000.exe"))));
    EXPECT_EQ(sink_.counts[kGroupUninstall], 1);
    EXPECT_EQ(sink_.statuses.front(), kUninstallName + L"\\App");  // without the value name
    EXPECT_EQ(sink_.statuses.size(), 5u);
}

TEST_F(UninstallTest, EntryThatDoesNotOpenIsSkippedWithoutAStopTest) {
    for (const wchar_t* name : {L"A", L"B", L"C"}) {
        SetText(HKEY_LOCAL_MACHINE, kUninstall + L"\\" + name, L"UninstallString",
                Gone(std::wstring(name) + L".exe"));
    }
    sink_.onStatus = [&](const std::wstring& status) {
        if (status.ends_with(L"\\A")) {
            DeleteKey(HKEY_LOCAL_MACHINE, kUninstall + L"\\A");
        }
    };
    sink_.stopWhen = [](const test::RecordingSink&) { return true; };

    Run(ScanUninstall);

    ASSERT_EQ(sink_.rows.size(), 1u);
    EXPECT_EQ(sink_.rows[0].keyName, kUninstallName + L"\\B\\UninstallString");
    EXPECT_TRUE(sink_.countWrites.empty());
}

}  // namespace
}  // namespace kestrova
