// The sample stale entries that the start command gives a new Wine prefix
// (samples/stale-entries.reg): loaded into the sandbox, a whole scan finds the sample of every
// group that has a check.
#include <windows.h>

#include <algorithm>

#include "platform/text.h"
#include "scan/scan_driver.h"
#include "scan_test_fixture.h"
#include "support/child_process.h"
#include "support/reg_file_import.h"

#ifndef KESTROVA_SAMPLE_ENTRIES_REG
#define KESTROVA_SAMPLE_ENTRIES_REG ""
#endif

namespace kestrova {
namespace {

struct SampleEntry {
    int group;
    const wchar_t* type;
    // A part of the row's Key Name that only the sample's entry has. Class identifiers and the
    // share name cannot carry the "KestrovaSample" name, so they are given in full.
    const wchar_t* keyNamePart;
};

const SampleEntry kSampleEntries[] = {
    {kGroupAppPaths, L"Application", L"\\App Paths\\KestrovaSample.exe"},
    {kGroupClsid, L"COM/ActiveX",
     L"\\CLSID\\{4B657374-726F-7661-5361-6D706C650001}\\InprocServer32"},
    {kGroupHelpFiles, L"Help File", L"\\Help\\KestrovaSample.hlp"},
    {kGroupHelpFiles, L"Help File", L"\\HTML Help\\KestrovaSample.chm"},
    {kGroupFonts, L"Font File", L"\\Fonts\\KestrovaSample Regular (TrueType)"},
    {kGroupStartMenu, L"Start Menu", L"\\Start Menu2\\Programs\\KestrovaSample"},
    {kGroupSharedDlls, L"Shared DLLs",
     L"\\SharedDlls\\C:\\Program Files\\Kestrova Sample\\KestrovaSampleShared.dll"},
    {kGroupSharedFolders, L"Shared Folder", L"\\lanmanserver\\Shares\\Q$"},
    {kGroupShellExtensions, L"Shell Extensions",
     L"\\Approved\\{4B657374-726F-7661-5361-6D706C650002}"},
    {kGroupSoundEvents, L"Sound AppEvent", L"\\Apps\\KestrovaSample\\KestrovaSampleChime\\"},
    {kGroupUninstall, L"Uninstall", L"\\Uninstall\\KestrovaSample\\UninstallString"},
    {kGroupFileExtensions, L"File Extensions", L"\\FileExts\\.kestrovasample"},
    {kGroupVxd, L"VxD Error", L"\\VXD\\KestrovaSample"},
};

class SampleEntriesTest : public test::ScanTest {};

TEST_F(SampleEntriesTest, EveryGroupWithACheckReportsItsSample) {
    // The share sample is stale because its drive is missing; a machine with a drive Q:
    // would rightly not report it.
    ASSERT_EQ(GetLogicalDrives() & (1u << (L'Q' - L'A')), 0u) << "this machine has a drive Q:";
    const test::RegImportCounts imported =
        test::ImportRegFile(test::HostPathToWindows(KESTROVA_SAMPLE_ENTRIES_REG));
    ASSERT_GT(imported.keys, 0u);
    sink_.checked.fill(true);

    const ScanOutcome outcome = RunScan(sink_, ignore_);

    ASSERT_EQ(outcome.end, ScanOutcome::End::Completed) << ToUtf8(outcome.error);
    for (const SampleEntry& sample : kSampleEntries) {
        const bool found =
            std::any_of(sink_.rows.begin(), sink_.rows.end(), [&](const ErrorRow& row) {
                return row.type == sample.type &&
                       row.keyName.find(sample.keyNamePart) != std::wstring::npos;
            });
        EXPECT_TRUE(found) << "group " << sample.group << ": no row for "
                           << ToUtf8(sample.keyNamePart);
        EXPECT_GE(sink_.counts[sample.group].value_or(0), 1) << "group " << sample.group;
    }
}

}  // namespace
}  // namespace kestrova
