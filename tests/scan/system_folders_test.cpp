#include "scan/system_folders.h"

#include <windows.h>

#include "platform/registry.h"
#include "support/sandbox_test.h"
#include "support/scoped_environment.h"

namespace kestrova {
namespace {

using test::SandboxTest;
using test::ScopedEnvironment;

std::wstring Upper(std::wstring text) {
    CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

TEST(WindowsFolderOfTest, CutsAfterTheFirstBackslashFromTheFourthCharacter) {
    const struct {
        const wchar_t* systemFolder;
        const wchar_t* windowsFolder;
    } cases[] = {
        {L"C:\\WINDOWS\\system32\\", L"C:\\WINDOWS\\"},
        {L"C:\\windows\\system32\\", L"C:\\windows\\"},
        {L"D:\\WINNT\\System32\\", L"D:\\WINNT\\"},
        {L"C:\\W\\system\\", L"C:\\W\\"},
        {L"C:\\WINDOWS\\", L"C:\\WINDOWS\\"},
        // No "\" from the fourth character on: unchanged.
        {L"C:\\WIN", L"C:\\WIN"},
        {L"C:\\W", L"C:\\W"},
        // The fourth character itself counts.
        {L"\\\\s\\share\\system32\\", L"\\\\s\\"},
        // Shorter than four characters.
        {L"C:\\", L""},
        {L"", L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WindowsFolderOf(c.systemFolder), c.windowsFolder) << c.systemFolder;
    }
}

TEST(SystemFoldersTest, MatchTheFoldersTheSystemReports) {
    wchar_t system[MAX_PATH] = {};
    wchar_t windows[MAX_PATH] = {};
    ASSERT_GT(GetSystemDirectoryW(system, MAX_PATH), 0u);
    ASSERT_GT(GetWindowsDirectoryW(windows, MAX_PATH), 0u);

    EXPECT_EQ(SystemFolder(), std::wstring(system) + L"\\");
    // Derived from the system folder, yet the same folder the system names.
    EXPECT_EQ(Upper(WindowsFolder()), Upper(std::wstring(windows) + L"\\"));
    EXPECT_EQ(Upper(SystemFolder()), L"C:\\WINDOWS\\SYSTEM32\\");
}

class TempFolderTest : public SandboxTest {};

TEST_F(TempFolderTest, ReportsTheUsersTemporaryFolderWhole) {
    const std::wstring shortFolder = temp_ / L"t";
    std::wstring longFolder = temp_ / L"a-temporary-folder-with-a-name-long-enough";
    while (longFolder.size() <= 100) {
        longFolder += L"-x";
    }
    for (const std::wstring& folder : {shortFolder, longFolder}) {
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
        const ScopedEnvironment tmp(L"TMP", folder);
        const ScopedEnvironment temp(L"TEMP", folder);
        // Longer than 80 characters still names the real folder rather than a cut one.
        EXPECT_EQ(TempFolder(), folder + L"\\");
    }
}

class ProgramFilesFolderTest : public SandboxTest {
protected:
    static constexpr wchar_t kKey[] = L"\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
};

TEST_F(ProgramFilesFolderTest, EmptyWithoutKeyOrValue) {
    EXPECT_EQ(ProgramFilesFolder(), L"");

    Registry registry(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(registry.OpenKey(kKey, true));
    registry.WriteString(L"CommonFilesDir", L"C:\\Program Files\\Common Files");
    EXPECT_EQ(ProgramFilesFolder(), L"");

    registry.WriteString(L"ProgramFilesDir", L"");
    EXPECT_EQ(ProgramFilesFolder(), L"");

    // Data that is no text names no folder.
    registry.WriteInteger(L"ProgramFilesDir", 1);
    EXPECT_EQ(ProgramFilesFolder(), L"");
}

TEST_F(ProgramFilesFolderTest, EndsInOneBackslash) {
    const struct {
        const wchar_t* stored;
        const wchar_t* folder;
    } cases[] = {
        {L"C:\\Program Files", L"C:\\Program Files\\"},
        {L"D:\\Apps\\", L"D:\\Apps\\"},
        {L"E:", L"E:\\"},
    };
    Registry registry(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(registry.OpenKey(kKey, true));
    for (const auto& c : cases) {
        registry.WriteString(L"ProgramFilesDir", c.stored);
        EXPECT_EQ(ProgramFilesFolder(), c.folder) << c.stored;
    }
    // Read as stored, not expanded.
    registry.WriteExpandString(L"ProgramFilesDir", L"%SystemDrive%\\Programs");
    EXPECT_EQ(ProgramFilesFolder(), L"%SystemDrive%\\Programs\\");
}

}  // namespace
}  // namespace kestrova
