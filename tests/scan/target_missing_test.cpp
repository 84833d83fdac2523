#include "scan/target_missing.h"

#include <windows.h>

#include "scan/guess_path.h"
#include "scan/path_exists.h"
#include "scan/system_folders.h"
#include "scan_test_fixture.h"
#include "support/sandbox_test.h"
#include "support/scoped_environment.h"

namespace kestrova {
namespace {

using test::CurrentDirectory;
using test::Lowered;
using test::SandboxTest;
using test::ScopedEnvironment;
using test::TestProbe;
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

// The test with places of the test's own folder and a probe that records what it asks.
class TargetTestTest : public SandboxTest {
protected:
    void MakeFolder(const std::wstring& name) {
        ASSERT_TRUE(CreateDirectoryW((temp_ / name).c_str(), nullptr)) << name;
    }
    bool Missing(const std::wstring& data, FileKind kind = FileKind::Program) {
        TargetTest test(probe_, places_);
        std::wstring guess;
        return test.Missing(data, guess, kind);
    }

    TestProbe probe_;
    SearchPlaces places_;
};

TEST_F(TargetTestTest, DataThatNamesNoFileIsNotMissing) {
    WriteFileBytes(temp_ / L"shell.dll", "MZ");
    const std::wstring present = temp_ / L"shell.dll";
    const struct {
        std::wstring data;
        bool missing;
    } cases[] = {
        // Placeholders for the file a command is given, or the file itself.
        {L"%1", false},
        {L"\"%1\"", false},
        {L"%L", false},
        {L"%l,0", false},
        {L"%1 %*", false},
        {L"%*", false},
        {L"\"%2\" -x", false},
        // Blanks alone, and switches or separators from which no file can be taken.
        {L"   ", false},
        {L"\t\r\n", false},
        {L"/s", false},
        {L",1", false},
        // Blanks around a path, and the "@" of an indirect string, are not part of it.
        {L"  " + present + L"  ", false},
        {L"\t" + present + L"\r\n", false},
        {L"@" + present + L",-101", false},
        {L"@ " + present, false},
        {L" \"" + present + L"\" /x", false},
        // What they surround is still judged.
        {L"  " + (temp_ / L"gone.dll") + L" ", true},
        {L"@" + (temp_ / L"gone.dll") + L",-101", true},
        // An environment variable is no placeholder.
        {L"%KESTROVA_UNSET_VARIABLE%", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Missing(c.data), c.missing) << "data: [" << c.data << "]";
    }
}

TEST_F(TargetTestTest, RowOfTrimmedDataKeepsTheGuessPathOfTheDataAsItStands) {
    const std::wstring data = L"@" + (temp_ / L"Gone.dll") + L",-101";
    TargetTest test(probe_, places_);
    std::wstring guess;
    ASSERT_TRUE(test.Missing(data, guess));
    EXPECT_EQ(guess, GuessPath(data));
}

TEST_F(TargetTestTest, FilesOf32BitProgramsAreFoundInThe32BitFolders) {
    for (const wchar_t* folder : {L"wow", L"pf", L"pf86", L"pf86\\App", L"pf86\\Folder",
                                  L"pf86\\Tool.exe", L"cf", L"cf86"}) {
        MakeFolder(folder);
    }
    WriteFileBytes(temp_ / L"wow\\kestrova-wow.dll", "MZ");
    WriteFileBytes(temp_ / L"pf86\\App\\app.exe", "MZ");
    WriteFileBytes(temp_ / L"cf86\\shared.dll", "MZ");
    places_.x86Twins = {{SystemFolder(), temp_ / L"wow\\"},
                        {temp_ / L"pf\\", temp_ / L"pf86\\"},
                        {temp_ / L"cf\\", temp_ / L"cf86\\"}};
    const std::wstring folder = temp_.Path().substr(0, temp_.Path().size() - 1);
    const ScopedEnvironment programFiles(L"KESTROVA_TEST_PF", folder + L"\\pf");
    const struct {
        std::wstring data;
        bool missing;
    } cases[] = {
        // The system folder's twin, however the data reaches the system folder.
        {SystemFolder() + L"kestrova-wow.dll", false},
        {L"%SystemRoot%\\system32\\kestrova-wow.dll", false},
        {L"%windir%\\System32\\KESTROVA-WOW.DLL,2", false},
        {L"kestrova-wow.dll", false},
        {SystemFolder() + L"kestrova-none.dll", true},
        // Program Files and Common Files.
        {temp_ / L"pf\\App\\app.exe", false},
        {L"\"" + (temp_ / L"pf\\App\\App.exe") + L"\" /uninstall", false},
        {L"%KESTROVA_TEST_PF%\\App\\app.exe", false},
        {temp_ / L"pf\\Folder", false},
        {temp_ / L"cf\\shared.dll", false},
        {temp_ / L"pf\\App\\other.exe", true},
        {temp_ / L"pf86\\App\\other.exe", true},
        // A folder counts only where the data names it as written, not as a guessed program.
        {L"\"" + (temp_ / L"pf\\Tool.exe") + L"\" /x", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Missing(c.data), c.missing) << "data: " << c.data;
    }
}

TEST_F(TargetTestTest, BareNamesAreFoundWhereWindowsSearchesAndNeverInTheCurrentDirectory) {
    for (const wchar_t* folder : {L"bin", L"Media", L"Help", L"here", L"here\\sub"}) {
        MakeFolder(folder);
    }
    WriteFileBytes(temp_ / L"bin\\kestrova-tool.exe", "MZ");
    WriteFileBytes(temp_ / L"bin\\kestrova-lib.dll", "MZ");
    WriteFileBytes(temp_ / L"Media\\kestrova-chime.wav", "RIFF");
    WriteFileBytes(temp_ / L"Help\\kestrova.hlp", "?_");
    WriteFileBytes(temp_ / L"here\\kestrova-local.exe", "MZ");
    WriteFileBytes(temp_ / L"here\\sub\\kestrova-sub.exe", "MZ");
    places_.programSearch = {SystemFolder(), WindowsFolder(), temp_ / L"bin\\"};
    places_.media = temp_ / L"Media\\";
    places_.help = temp_ / L"Help\\";
    const CurrentDirectory here(temp_ / L"here");

    const struct {
        std::wstring data;
        FileKind kind;
        bool missing;
    } cases[] = {
        {L"kestrova-tool.exe", FileKind::Program, false},
        {L"KESTROVA-TOOL /quiet", FileKind::Program, false},
        {L"\"kestrova-tool.exe\" %1", FileKind::Program, false},
        {L"kestrova-lib.dll,3", FileKind::Program, false},
        {L"notepad.exe", FileKind::Program, false},
        {L"kernel32.dll", FileKind::Program, false},
        {L"kestrova-chime.wav", FileKind::Sound, false},
        {L"kestrova-chime.wav", FileKind::Program, true},
        {L"kestrova.hlp", FileKind::Help, false},
        {L"kestrova.hlp", FileKind::Sound, true},
        {L"kestrova-none.exe", FileKind::Program, true},
        // In the current directory only: not found.
        {L"kestrova-local.exe", FileKind::Program, true},
        {L"sub\\kestrova-sub.exe", FileKind::Program, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Missing(c.data, c.kind), c.missing) << "data: " << c.data;
    }
    for (const std::wstring& probed : probe_.probed) {
        EXPECT_TRUE(IsFullPath(probed)) << "probed " << probed;
    }
}

TEST(SearchPlacesTest, TheSystemsFoldersAndItsSearchPath) {
    const std::wstring path = L"C:\\Kestrova Bin;\"C:\\Quoted Bin\";relative;.;;" +
                              WindowsFolder() + L";\\\\server\\tools";
    const ScopedEnvironment searchPath(L"PATH", path);
    const SearchPlaces places = SystemSearchPlaces();

    EXPECT_TRUE(FolderExists(places.fonts)) << places.fonts;
    EXPECT_TRUE(places.fonts.ends_with(L"\\")) << places.fonts;
    EXPECT_EQ(places.media, WindowsFolder() + L"Media\\");
    EXPECT_EQ(places.help, WindowsFolder() + L"Help\\");
    // The system and Windows folders first, then each full path of PATH once, without the
    // relative ones.
    const std::vector<std::wstring> search = {SystemFolder(), WindowsFolder(),
                                              L"C:\\Kestrova Bin\\", L"C:\\Quoted Bin\\",
                                              L"\\\\server\\tools\\"};
    EXPECT_EQ(places.programSearch, search);
}

TEST(SearchPlacesTest, SixtyFourBitWindowsHasTheTwinsOfItsSystemAndProgramFolders) {
    wchar_t wow64[MAX_PATH] = {};
    if (GetSystemWow64DirectoryW(wow64, MAX_PATH) == 0) {
        GTEST_SKIP() << "a 32-bit system";
    }
    const SearchPlaces places = SystemSearchPlaces();
    ASSERT_EQ(places.x86Twins.size(), 3u);
    EXPECT_EQ(places.x86Twins[0].folder, SystemFolder());
    EXPECT_EQ(places.x86Twins[0].twin, std::wstring(wow64) + L"\\");
    EXPECT_EQ(places.x86Twins[1].folder, L"C:\\Program Files\\");
    EXPECT_EQ(places.x86Twins[1].twin, L"C:\\Program Files (x86)\\");
    EXPECT_EQ(places.x86Twins[2].folder, L"C:\\Program Files\\Common Files\\");
    EXPECT_EQ(places.x86Twins[2].twin, L"C:\\Program Files (x86)\\Common Files\\");
}

}  // namespace
}  // namespace kestrova
