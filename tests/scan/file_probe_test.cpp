// The file probe: only "not found" is missing; network paths, empty disk drives, absent drive
// letters and paths that depend on the current directory are never probed; long paths are
// probed in their long form.
#include "scan/file_probe.h"

#include <windows.h>

#include "scan/scan_checks.h"
#include "scan_test_fixture.h"

namespace kestrova {
namespace {

using test::Lowered;
using test::MakeLongPathFile;
using test::TestProbe;

const wchar_t* AnswerName(ProbeAnswer answer) {
    switch (answer) {
        case ProbeAnswer::Missing:
            return L"Missing";
        case ProbeAnswer::File:
            return L"File";
        case ProbeAnswer::Folder:
            return L"Folder";
        case ProbeAnswer::CannotTell:
            return L"CannotTell";
    }
    return L"?";
}

class FileProbeTest : public test::SandboxTest {
protected:
    TestProbe probe_;
};

TEST_F(FileProbeTest, OnlyNotFoundAndImpossibleNamesAreMissing) {
    const std::wstring path = temp_ / L"probed.dll";
    const struct {
        DWORD error;
        std::wstring path;
        ProbeAnswer answer;
    } cases[] = {
        {ERROR_FILE_NOT_FOUND, path, ProbeAnswer::Missing},
        {ERROR_PATH_NOT_FOUND, path, ProbeAnswer::Missing},
        {ERROR_BAD_PATHNAME, path, ProbeAnswer::Missing},
        {ERROR_DIRECTORY, path, ProbeAnswer::Missing},
        {ERROR_INVALID_NAME, temp_ / L"a<b.dll", ProbeAnswer::Missing},
        {ERROR_INVALID_NAME, temp_ / L"x*.dll", ProbeAnswer::Missing},
        {ERROR_INVALID_NAME, path, ProbeAnswer::CannotTell},
        {ERROR_ACCESS_DENIED, path, ProbeAnswer::CannotTell},
        {ERROR_SHARING_VIOLATION, path, ProbeAnswer::CannotTell},
        {ERROR_NOT_READY, path, ProbeAnswer::CannotTell},
        {ERROR_FILENAME_EXCED_RANGE, path, ProbeAnswer::CannotTell},
        {ERROR_BAD_NETPATH, path, ProbeAnswer::CannotTell},
        {ERROR_INVALID_DRIVE, path, ProbeAnswer::CannotTell},
        {ERROR_GEN_FAILURE, path, ProbeAnswer::CannotTell},
    };
    for (const auto& c : cases) {
        probe_.failures = {{c.path, c.error}};
        EXPECT_EQ(probe_.Probe(c.path), c.answer)
            << "error " << c.error << " gave " << AnswerName(probe_.Probe(c.path));
    }
    // Without a failure made up, the system answers.
    probe_.failures.clear();
    test::WriteFileBytes(path, "x");
    EXPECT_EQ(probe_.Probe(path), ProbeAnswer::File);
    EXPECT_EQ(probe_.Probe(temp_.Path()), ProbeAnswer::Folder);
    EXPECT_EQ(probe_.Probe(temp_ / L"gone.dll"), ProbeAnswer::Missing);
    EXPECT_EQ(probe_.Probe(temp_ / L"gone\\gone.dll"), ProbeAnswer::Missing);
}

TEST_F(FileProbeTest, PathsThatAProbeCouldWaitOnOrThatDependOnTheCurrentDirectoryAreNotProbed) {
    probe_.driveTypes = {{L'R', DRIVE_REMOTE},
                         {L'E', DRIVE_REMOVABLE},
                         {L'F', DRIVE_CDROM},
                         {L'U', DRIVE_UNKNOWN},
                         {L'N', DRIVE_NO_ROOT_DIR}};
    probe_.media = {{L'E', false}, {L'F', false}};
    for (const wchar_t* path : {
             L"R:\\Tools\\app.exe",          // a drive mapped to a network share
             L"r:\\Tools\\other.exe",        // the same drive, in lower case
             L"E:\\Portable\\app.exe",       // a removable drive without its medium
             L"F:\\SETUP.EXE",               // an optical drive without its disc
             L"U:\\x.dll",                   // a drive of unknown type
             L"N:\\x.dll",                   // a drive letter that is absent now
             L"\\\\server\\share\\app.exe",  // network paths
             L"\\\\?\\UNC\\server\\share\\app.exe",
             L"\\\\.\\pipe\\x",  // a device
             L"app.exe",         // relative: would depend on the current directory
             L"Sub\\app.exe",
             L"\\Windows\\notepad.exe",
             L"C:notepad.exe",
             L"",
         }) {
        EXPECT_EQ(probe_.Probe(path), ProbeAnswer::CannotTell) << path;
    }
    EXPECT_TRUE(probe_.probed.empty()) << "probed " << probe_.probed.front();
    // Each drive's type is asked once.
    EXPECT_EQ(probe_.drivesAsked.size(), 5u);
}

TEST_F(FileProbeTest, RemovableDrivesWithTheirMediumAndFixedDrivesAreProbed) {
    // The letters do not exist here, so the system answers "not found" once asked.
    probe_.driveTypes = {{L'E', DRIVE_REMOVABLE}, {L'F', DRIVE_CDROM}, {L'M', DRIVE_RAMDISK}};
    probe_.media = {{L'E', true}, {L'F', true}};
    for (const wchar_t* path : {L"E:\\Portable\\app.exe", L"F:\\SETUP.EXE", L"M:\\x.dll"}) {
        probe_.failures[path] = ERROR_FILE_NOT_FOUND;
        EXPECT_EQ(probe_.Probe(path), ProbeAnswer::Missing) << path;
    }
    EXPECT_EQ(probe_.probed.size(), 3u);
    EXPECT_EQ(probe_.Probe(L"\\\\?\\" + (temp_ / L"")), ProbeAnswer::Folder);
}

TEST_F(FileProbeTest, LongPathsAreProbedInTheirLongForm) {
    const std::wstring file = MakeLongPathFile(temp_.Path());
    ASSERT_GT(file.size(), static_cast<size_t>(MAX_PATH));
    const std::wstring folder = file.substr(0, file.rfind(L'\\'));

    EXPECT_EQ(probe_.Probe(file), ProbeAnswer::File);
    EXPECT_EQ(probe_.Probe(folder), ProbeAnswer::Folder);
    EXPECT_EQ(probe_.Probe(folder + L"\\gone.exe"), ProbeAnswer::Missing);
    // "." and ".." levels are resolved before the long form takes the path literally.
    const size_t cut = folder.rfind(L'\\');
    EXPECT_EQ(probe_.Probe(folder.substr(0, cut) + L"\\.\\zz\\..\\" + folder.substr(cut + 1) +
                           L"\\Program.exe"),
              ProbeAnswer::File);
    for (const std::wstring& probed : probe_.probed) {
        EXPECT_TRUE(probed.starts_with(L"\\\\?\\")) << probed;
    }
    // A long path the system still refuses cannot be told.
    probe_.failures[L"\\\\?\\" + file] = ERROR_FILENAME_EXCED_RANGE;
    EXPECT_EQ(probe_.Probe(file), ProbeAnswer::CannotTell);
}

// A whole check over entries the system cannot judge: only the one whose file is not found
// gives a row.
class CannotTellTest : public test::ScanTest {};

TEST_F(CannotTellTest, AppPathsReportsOnlyTheProgramThatIsNotFound) {
    const std::wstring key = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";
    const std::wstring denied = Gone(L"denied\\app.exe");
    const std::wstring locked = Gone(L"locked.exe");
    const std::wstring unc = L"\\\\fileserver\\apps\\tool.exe";
    const std::wstring longPath = MakeLongPathFile(temp_.Path());
    probe_.failures = {{denied, ERROR_ACCESS_DENIED},
                       {Lowered(denied), ERROR_ACCESS_DENIED},
                       {locked, ERROR_SHARING_VIOLATION},
                       {Lowered(locked), ERROR_SHARING_VIOLATION},
                       {unc, ERROR_BAD_NETPATH}};
    probe_.driveTypes = {{L'R', DRIVE_REMOTE}, {L'E', DRIVE_REMOVABLE}};
    probe_.media = {{L'E', false}};
    SetText(HKEY_LOCAL_MACHINE, key + L"\\a.exe", L"", denied);
    SetText(HKEY_LOCAL_MACHINE, key + L"\\b.exe", L"", L"\"" + locked + L"\" /run");
    SetText(HKEY_LOCAL_MACHINE, key + L"\\c.exe", L"", unc);
    SetText(HKEY_LOCAL_MACHINE, key + L"\\d.exe", L"", L"R:\\Tools\\tool.exe");
    SetText(HKEY_LOCAL_MACHINE, key + L"\\e.exe", L"", L"E:\\Portable\\tool.exe");
    SetText(HKEY_LOCAL_MACHINE, key + L"\\f.exe", L"", longPath);
    SetText(HKEY_LOCAL_MACHINE, key + L"\\g.exe", L"", Gone(L"gone.exe"));

    Run(ScanAppPaths);

    ASSERT_EQ(sink_.rows.size(), 1u) << ::testing::PrintToString(sink_.rows);
    EXPECT_EQ(sink_.rows[0].keyName, L"HKEY_LOCAL_MACHINE\\" + key + L"\\g.exe");
    EXPECT_EQ(sink_.counts[kGroupAppPaths], 1);
    for (const std::wstring& probed : probe_.probed) {
        EXPECT_TRUE(probed.starts_with(L"C:\\") || probed.starts_with(L"c:\\") ||
                    probed.starts_with(L"\\\\?\\C:\\"))
            << "probed " << probed;
    }
}

}  // namespace
}  // namespace kestrova
