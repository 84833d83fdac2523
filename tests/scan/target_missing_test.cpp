#include "scan/target_missing.h"

#include <windows.h>

#include "scan/guess_path.h"
#include "scan/path_exists.h"
#include "scan/system_folders.h"
#include "support/sandbox_test.h"
#include "support/scoped_environment.h"

namespace kestrova {
namespace {

using test::SandboxTest;
using test::ScopedEnvironment;
using test::WriteFileBytes;

class TargetMissingTest : public SandboxTest {
protected:
    void SetUp() override {
        WriteFileBytes(temp_ / L"app.exe", "MZ");
        WriteFileBytes(temp_ / L"notes.txt", "text");
        WriteFileBytes(temp_ / L"pic.ico", "icon");
        ASSERT_TRUE(CreateDirectoryW((temp_ / L"dir").c_str(), nullptr));
    }
};

// Both forms of the test agree, and a missing target comes with the Guess Path of its row.
void ExpectMissing(const std::wstring& data, bool missing) {
    EXPECT_EQ(TargetMissing(data), missing) << "data: " << data;
    std::wstring guess;
    EXPECT_EQ(TargetMissing(data, guess), missing) << "data: " << data;
    if (missing) {
        EXPECT_EQ(guess, GuessPath(data)) << "data: " << data;
    }
}

TEST_F(TargetMissingTest, FilesFoldersAndGuessedFilesAreThere) {
    const struct {
        std::wstring data;
        bool missing;
    } cases[] = {
        {L"", false},
        {temp_ / L"notes.txt", false},
        {temp_ / L"dir", false},
        {temp_ / L"dir\\", false},
        {temp_ / L"App", false},
        {L"\"" + (temp_ / L"app.exe") + L"\" /s", false},
        {temp_ / L"pic.ico,2", false},
        {L"rundll32.exe shell32.dll,Control_RunDLL", false},
        {L"%SystemRoot%\\system32\\shell32.dll", false},
        {temp_ / L"gone.txt", true},
        {temp_ / L"gone.ico,2", true},
        {temp_ / L"gone\\", true},
        {L"\"" + (temp_ / L"gone.exe") + L"\" /s", true},
        {L"no-such-program.exe", true},
    };
    for (const auto& c : cases) {
        ExpectMissing(c.data, c.missing);
    }
}

TEST_F(TargetMissingTest, EnvironmentVariablesAreExpanded) {
    const std::wstring folder = temp_.Path().substr(0, temp_.Path().size() - 1);
    const ScopedEnvironment variable(L"KESTROVA_TEST_DIR", folder);
    const struct {
        std::wstring data;
        bool missing;
    } cases[] = {
        {L"%KESTROVA_TEST_DIR%\\app.exe", false},   {L"%Kestrova_Test_Dir%\\notes.txt", false},
        {L"%KESTROVA_TEST_DIR%\\App", false},       {L"\"%KESTROVA_TEST_DIR%\\app.exe\" -x", false},
        {L"%KESTROVA_TEST_DIR%\\pic.ico,0", false}, {L"%KESTROVA_TEST_DIR%\\dir", false},
        {L"%KESTROVA_TEST_DIR%\\gone.exe", true},   {L"%KESTROVA_TEST_DIR%\\gone", true},
        {L"%KESTROVA_NOT_SET%\\app.exe", true},
    };
    for (const auto& c : cases) {
        ExpectMissing(c.data, c.missing);
    }
}

TEST_F(TargetMissingTest, SystemVariablesAreExpanded) {
    // Files and folders of the Wine prefix these rows point at.
    ASSERT_TRUE(FileExists(WindowsFolder() + L"notepad.exe"));
    ASSERT_TRUE(FolderExists(L"C:\\Program Files\\Common Files"));
    ASSERT_TRUE(FileExists(L"C:\\Program Files\\Internet Explorer\\iexplore.exe"));

    const struct {
        const wchar_t* data;
        bool missing;
    } cases[] = {
        {L"%windir%\\notepad.exe", false},
        {L"\"%WINDIR%\\notepad.exe\" %1", false},
        {L"%SystemDrive%\\windows\\notepad.exe", false},
        {L"%SystemDrive%\\windows", false},
        {L"%ProgramFiles%\\Internet Explorer\\iexplore.exe", false},
        {L"\"%ProgramFiles%\\Internet Explorer\\iexplore.exe\" -nohome", false},
        {L"%CommonProgramFiles%", false},
        {L"%CommonProgramFiles%\\", false},
        {L"%windir%\\no-such-program.exe", true},
        {L"%ProgramFiles%\\No Such App\\app.exe", true},
    };
    for (const auto& c : cases) {
        ExpectMissing(c.data, c.missing);
    }
}

}  // namespace
}  // namespace kestrova
