// The scan only reads: a full scan of each real registry export (every group) leaves every
// key, value name, type and data as it found them.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/text.h"
#include "repair_test_support.h"
#include "scan/scan_driver.h"
#include "scan/scan_test_fixture.h"
#include "support/child_process.h"
#include "support/reg_file_import.h"
#include "support/sandbox_test.h"
#include "support/temp_folder.h"

#ifndef KESTROVA_REGISTRY_DATA_DIR
#define KESTROVA_REGISTRY_DATA_DIR ""
#endif

namespace kestrova {
namespace {

test::RecordingSink FullScan() {
    test::RecordingSink sink;
    sink.checked.fill(true);
    XmlDocument ignore;
    ignore.Create(L"IgnoreList");
    EXPECT_EQ(RunScan(sink, ignore).end, ScanOutcome::End::Completed);
    return sink;
}

class ScanReadOnlyTest : public test::SandboxTest,
                         public ::testing::WithParamInterface<const char*> {};

TEST_P(ScanReadOnlyTest, AFullScanChangesNothing) {
    const std::wstring folder = test::HostPathToWindows(KESTROVA_REGISTRY_DATA_DIR);
    const std::wstring file = folder + L"\\" + FromUtf8(GetParam());
    if (folder.empty() || !test::FileExists(file)) {
        GTEST_SKIP() << "no registry export " << GetParam() << " in " << KESTROVA_REGISTRY_DATA_DIR;
    }
    // The system's shell writes its folders' keys on first use: that first scan is not ours.
    FullScan();
    const std::wstring name = FromUtf8(GetParam());
    if (name.find(L"hklm") != std::wstring::npos) {
        test::ImportRegFile(file);
    } else if (name.find(L"usrclass") != std::wstring::npos) {
        test::ImportRegFile(file, {test::RegKeyMapping{L"HKEY_CURRENT_USER\\Software\\Classes",
                                                       HKEY_CLASSES_ROOT, L""}});
    } else {
        test::ImportRegFile(file);
        test::ImportRegFile(file, {test::RegKeyMapping{L"HKEY_CURRENT_USER\\Software",
                                                       HKEY_LOCAL_MACHINE, L"SOFTWARE"}});
    }
    const test::RegistryDump before = test::DumpRegistry();

    const test::RecordingSink sink = FullScan();

    const test::RegistryDump after = test::DumpRegistry();
    EXPECT_TRUE(after == before) << test::DescribeDifferences(before, after);
    std::printf("%s: %zu keys, %zu rows, unchanged\n", GetParam(), before.size(), sink.rows.size());
}

INSTANTIATE_TEST_SUITE_P(Exports, ScanReadOnlyTest,
                         ::testing::Values("xp_ntuser_joe.reg", "win7_ntuser_nfury.reg",
                                           "win10_ntuser_tony.importsafe.reg",
                                           "usrclass_regipy.reg", "winme_hklm_dfwinreg.reg"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param).substr(0, 5);
                         });

}  // namespace
}  // namespace kestrova
