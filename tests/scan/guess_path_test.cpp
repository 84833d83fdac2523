#include "scan/guess_path.h"

#include <windows.h>

#include "platform/registry.h"
#include "scan/path_exists.h"
#include "scan/system_folders.h"
#include "support/sandbox_test.h"

namespace kestrova {
namespace {

using test::SandboxTest;
using test::WriteFileBytes;

std::wstring LowerAscii(std::wstring text) {
    for (wchar_t& c : text) {
        if (c >= L'A' && c <= L'Z') {
            c = static_cast<wchar_t>(c + (L'a' - L'A'));
        }
    }
    return text;
}

// Expected results name the inserted folders by marker: <sys> SystemFolder, <win>
// WindowsFolder, <pf> ProgramFilesFolder.
std::wstring Expand(std::wstring text) {
    const struct {
        const wchar_t* marker;
        std::wstring folder;
    } markers[] = {
        {L"<sys>", SystemFolder()}, {L"<win>", WindowsFolder()}, {L"<pf>", ProgramFilesFolder()}};
    for (const auto& m : markers) {
        text = ReplaceFirst(m.marker, m.folder, text);
    }
    return text;
}

TEST(ReplaceFirstTest, ReplacesOnlyTheFirstExactMatch) {
    const struct {
        const wchar_t* pattern;
        const wchar_t* replacement;
        const wchar_t* text;
        const wchar_t* result;
    } cases[] = {
        {L"ab", L"X", L"ab-ab", L"X-ab"}, {L"ab", L"X", L"zzab", L"zzX"},
        {L"ab", L"", L"cabd", L"cd"},     {L"AB", L"X", L"ab-ab", L"ab-ab"},
        {L"abc", L"X", L"ab", L"ab"},     {L"a", L"aa", L"aaa", L"aaaa"},
        {L"", L"X", L"text", L"text"},    {L"a", L"X", L"", L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReplaceFirst(c.pattern, c.replacement, c.text), c.result)
            << c.pattern << " in " << c.text;
    }
}

class GuessPathTest : public SandboxTest {
protected:
    void SetUp() override {
        Registry registry(HKEY_LOCAL_MACHINE);
        ASSERT_TRUE(registry.OpenKey(L"\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion", true));
        registry.WriteString(L"ProgramFilesDir", L"D:\\Program Files");
    }
};

TEST_F(GuessPathTest, DerivesFilesFromCommandLinesAndPaths) {
    // Files of the Wine prefix the bare-name rows rely on.
    ASSERT_TRUE(FileExists(WindowsFolder() + L"notepad.exe"));
    ASSERT_FALSE(FileExists(WindowsFolder() + L"shell32.dll"));

    const struct {
        const wchar_t* data;
        const wchar_t* guess;
    } cases[] = {
        {L"", L""},
        // Network paths stay exactly as written.
        {L"\\\\Server\\Share\\App.EXE /x", L"\\\\Server\\Share\\App.EXE /x"},
        // Quotes, switches and arguments go.
        {L"\"C:\\Program Files\\App\\app.exe\" /s", L"c:\\program files\\app\\app.exe"},
        {L"\"C:\\Program Files\\App\\App.EXE\" -run now", L"c:\\program files\\app\\app.exe"},
        {L"C:\\App\\run.exe C:\\lib\\x.dll", L"c:\\app\\run.exe"},
        {L"C:\\App\\Lib.DLL,EntryPoint arg", L"c:\\app\\lib.dll"},
        {L"\"C:\\Data\\Read Me.txt\"", L"c:\\data\\read me.txt"},
        {L"\"\"", L""},
        // Icon indexes.
        {L"C:\\Tools\\App.exe,1", L"c:\\tools\\app.exe"},
        {L"C:\\Windows\\System32\\shell32.dll,-154", L"c:\\windows\\system32\\shell32.dll"},
        {L"C:\\Icons\\Pic.ico,3", L"c:\\icons\\pic.ico"},
        // The inserted folders keep their case; the rest is lowered.
        {L"%SystemRoot%\\system32\\X.dll", L"<sys>x.dll"},
        {L"%SYSTEMROOT%\\Help\\Notes.HLP", L"<win>help\\notes.hlp"},
        {L"%ProgramFiles%\\App\\Tool.exe -run", L"<pf>app\\tool.exe"},
        {L"\"%ProgramFiles%\\App\\Tool.exe\"", L"<pf>app\\tool.exe"},
        // Administrative shares stand for a drive root.
        {L"c$", L"c:\\"},
        {L"D$", L"d:\\"},
        // Switches or icon indexes alone leave nothing.
        {L"/s", L""},
        {L"/", L""},
        {L",1", L""},
        {L", C:\\x.exe", L""},
        // Bare names: the Windows folder when the file is there, else the system folder.
        {L"NOTEPAD.EXE", L"<win>notepad.exe"},
        {L"shell32.dll,4", L"<sys>shell32.dll"},
        {L"no-such-program.exe /x", L"<sys>no-such-program.exe"},
        // A path without a drive is put under the system folder.
        {L"Folder\\App.exe", L"<sys>folder\\app.exe"},
        // Without an extension the path ends at the first space.
        {L"C:\\Program Files\\Some App\\run", L"c:\\program"},
        // Trailing blanks and control characters go; letters beyond ASCII stay as they are.
        {L"C:\\Data\\Readme.txt \t\r\n", L"c:\\data\\readme.txt"},
        {L"C:\\\u00C4PP\\\u00C4.EXE", L"c:\\\u00C4pp\\\u00C4.exe"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GuessPath(c.data), Expand(c.guess)) << "data: " << c.data;
    }
}

TEST_F(GuessPathTest, RundllCommandsNameRundllItself) {
    const std::wstring folder =
        FileExists(WindowsFolder() + L"rundll32.exe") ? WindowsFolder() : SystemFolder();
    for (const wchar_t* data :
         {L"rundll32.exe shell32.dll,Control_RunDLL", L"RUNDLL32 advpack.dll,LaunchINFSection x",
          L"\"rundll32.exe\" \"C:\\x.dll\",Entry"}) {
        EXPECT_EQ(GuessPath(data), folder + L"rundll32.exe") << data;
    }
    EXPECT_TRUE(FileExists(GuessPath(L"rundll32.exe shell32.dll,Control_RunDLL")));
}

TEST_F(GuessPathTest, ProgramFilesWithoutRegistryValueIsDroppedFromThePath) {
    Registry registry(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(registry.OpenKey(L"\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion", false));
    ASSERT_TRUE(registry.DeleteValue(L"ProgramFilesDir"));
    EXPECT_EQ(GuessPath(L"%ProgramFiles%\\App\\Tool.exe"), SystemFolder() + L"app\\tool.exe");
}

TEST_F(GuessPathTest, AddsExeOnlyWhenSuchAFileExists) {
    ASSERT_EQ(temp_.Path().find(L' '), std::wstring::npos)
        << "cases assume no blank in " << temp_.Path();
    WriteFileBytes(temp_ / L"app.exe", "MZ");
    ASSERT_TRUE(CreateDirectoryW((temp_ / L"tool.exe").c_str(), nullptr));
    WriteFileBytes(temp_ / L"pic.ico", "icon");

    const std::wstring lowered = LowerAscii(temp_.Path());
    const struct {
        std::wstring data;
        std::wstring guess;
    } cases[] = {
        {temp_ / L"App", lowered + L"app.exe"},
        {temp_ / L"APP --flag value", lowered + L"app.exe"},
        {temp_ / L"app.exe,2", lowered + L"app.exe"},
        {L"\"" + (temp_ / L"App.exe") + L"\" /background", lowered + L"app.exe"},
        // A folder named like the program is no program.
        {temp_ / L"Tool", lowered + L"tool"},
        {temp_ / L"Other -x", lowered + L"other"},
        {temp_ / L"Pic.ico,2", lowered + L"pic.ico"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GuessPath(c.data), c.guess) << "data: " << c.data;
    }
}

TEST_F(GuessPathTest, LooksUpPathsWithoutDriveInTheSystemFolderNeverTheCurrentDirectory) {
    ASSERT_TRUE(CreateDirectoryW((temp_ / L"sub").c_str(), nullptr));
    WriteFileBytes(temp_ / L"sub\\tool.exe", "MZ");
    ASSERT_TRUE(FileExists(SystemFolder() + L"wbem\\wmic.exe"));

    wchar_t previous[MAX_PATH] = {};
    ASSERT_GT(GetCurrentDirectoryW(MAX_PATH, previous), 0u);
    ASSERT_TRUE(SetCurrentDirectoryW(temp_.Path().c_str()));
    const std::wstring here = GuessPath(L"Sub\\Tool");
    const std::wstring system = GuessPath(L"Wbem\\WMIC");
    SetCurrentDirectoryW(previous);

    // The ".exe" comes from the file where the path ends up, under the system folder.
    EXPECT_EQ(here, SystemFolder() + L"sub\\tool");
    EXPECT_EQ(system, SystemFolder() + L"wbem\\wmic.exe");
}

}  // namespace
}  // namespace kestrova
