// Whole scans over real registry exports (user hives of Windows XP, 7 and 10 and a classes
// hive) loaded into the sandbox: data nobody here wrote, with odd value types, strings
// without their NUL, non-ASCII names and deep keys.
#include <windows.h>

#include <cstdio>
#include <map>
#include <ostream>

#include "platform/text.h"
#include "scan/scan_driver.h"
#include "scan_test_fixture.h"
#include "support/child_process.h"
#include "support/reg_file_import.h"

#ifndef KESTROVA_REGISTRY_DATA_DIR
#define KESTROVA_REGISTRY_DATA_DIR ""
#endif

namespace kestrova {
namespace {

using test::RegKeyMapping;

// The Error Type of each group's rows.
const std::map<std::wstring, int> kGroupOfType = {
    {L"Application", kGroupAppPaths},
    {L"COM/ActiveX", kGroupClsid},
    {L"Help File", kGroupHelpFiles},
    {L"Font File", kGroupFonts},
    {L"Start Menu", kGroupStartMenu},
    {L"Shared DLLs", kGroupSharedDlls},
    {L"Shared Folder", kGroupSharedFolders},
    {L"Shell Extensions", kGroupShellExtensions},
    {L"Sound AppEvent", kGroupSoundEvents},
    {L"Uninstall", kGroupUninstall},
    {L"File Extensions", kGroupFileExtensions},
    {L"VxD Error", kGroupVxd},
};

struct Hive {
    const char* file;
    bool withClasses;  // also load the classes hive
};

void PrintTo(const Hive& hive, std::ostream* out) {
    *out << hive.file;
}

class RealRegistryScanTest : public test::ScanTest, public ::testing::WithParamInterface<Hive> {
protected:
    static std::wstring DataFolder() { return test::HostPathToWindows(KESTROVA_REGISTRY_DATA_DIR); }
};

TEST_P(RealRegistryScanTest, WholeScanRunsToTheEnd) {
    const std::wstring folder = DataFolder();
    const DWORD attributes =
        folder.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        GTEST_SKIP() << "no registry exports in " << KESTROVA_REGISTRY_DATA_DIR;
    }
    const std::wstring hive = folder + L"\\" + FromUtf8(GetParam().file);
    // The user hive goes to HKEY_CURRENT_USER, and again to HKEY_LOCAL_MACHINE so that the
    // machine-wide groups (App Paths, Uninstall, fonts) walk real data too.
    test::ImportRegFile(hive);
    test::ImportRegFile(
        hive, {RegKeyMapping{L"HKEY_CURRENT_USER\\Software", HKEY_LOCAL_MACHINE, L"SOFTWARE"}});
    if (GetParam().withClasses) {
        test::ImportRegFile(
            folder + L"\\usrclass_regipy.reg",
            {RegKeyMapping{L"HKEY_CURRENT_USER\\Software\\Classes", HKEY_CLASSES_ROOT, L""}});
    }
    sink_.checked.fill(true);

    const ScanOutcome outcome = RunScan(sink_, ignore_);

    ASSERT_EQ(outcome.end, ScanOutcome::End::Completed) << ToUtf8(outcome.error);
    // Each group that ran to its end wrote a counter equal to the rows of its type.
    std::map<int, int> rowsOfGroup;
    for (const ErrorRow& row : sink_.rows) {
        ASSERT_TRUE(kGroupOfType.count(row.type)) << ToUtf8(row.type);
        ++rowsOfGroup[kGroupOfType.at(row.type)];
    }
    for (int group = 0; group < kScanGroupCount; ++group) {
        if (sink_.counts[group].has_value()) {
            EXPECT_EQ(*sink_.counts[group], rowsOfGroup[group]) << group;
        } else {
            EXPECT_EQ(rowsOfGroup[group], 0) << group;
        }
    }
    // The user hives all hold sound schemes and Explorer's file-extension settings, so those
    // groups ran to their end.
    EXPECT_TRUE(sink_.counts[kGroupSoundEvents].has_value());
    EXPECT_TRUE(sink_.counts[kGroupFileExtensions].has_value());
    if (GetParam().withClasses) {
        EXPECT_TRUE(sink_.counts[kGroupClsid].has_value());
    }
    std::printf("%s: %zu rows\n", GetParam().file, sink_.rows.size());
    for (const auto& [group, rows] : rowsOfGroup) {
        std::printf("  %s: %d\n", ToUtf8(kScanGroupCaptions[group]).c_str(), rows);
    }
}

INSTANTIATE_TEST_SUITE_P(Hives, RealRegistryScanTest,
                         ::testing::Values(Hive{"xp_ntuser_joe.reg", false},
                                           Hive{"win7_ntuser_nfury.reg", false},
                                           Hive{"win10_ntuser_tony.importsafe.reg", true}),
                         [](const ::testing::TestParamInfo<Hive>& info) {
                             return std::string(info.param.file).substr(0, 5);
                         });

}  // namespace
}  // namespace kestrova
