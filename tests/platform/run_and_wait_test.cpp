#include "platform/run_and_wait.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/unique_handles.h"
#include "support/temp_folder.h"

namespace kestrova {
namespace {

using test::FileExists;
using test::ReadFileBytes;
using test::TempFolder;

std::wstring WindowsFolder() {
    wchar_t folder[MAX_PATH] = {};
    GetWindowsDirectoryW(folder, MAX_PATH);
    return std::wstring(folder) + L"\\";
}

std::wstring SystemFolder() {
    wchar_t folder[MAX_PATH] = {};
    GetSystemDirectoryW(folder, MAX_PATH);
    return std::wstring(folder) + L"\\";
}

// A key under the real HKEY_CURRENT_USER, since a child process does not see this
// process's registry sandbox; removed again at the end of the test.
class RealUserKey {
public:
    RealUserKey()
        : path_(L"Software\\KestrovaRunAndWaitTest-" + std::to_wstring(GetCurrentProcessId())) {
        UniqueHKey key;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_ALL_ACCESS, nullptr, key.Put(), nullptr) == ERROR_SUCCESS) {
            const wchar_t data[] = L"exported";
            RegSetValueExW(key.Get(), L"Marker", 0, REG_SZ, reinterpret_cast<const BYTE*>(data),
                           sizeof(data));
        }
    }
    ~RealUserKey() { RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str()); }
    RealUserKey(const RealUserKey&) = delete;
    RealUserKey& operator=(const RealUserKey&) = delete;

    std::wstring FullName() const { return L"HKEY_CURRENT_USER\\" + path_; }

private:
    std::wstring path_;
};

TEST(RunAndWaitTest, WaitsForTheRegistryEditorToFinishItsExport) {
    TempFolder temp;
    RealUserKey key;
    const std::wstring file = temp / L"export.reg";

    ASSERT_TRUE(RunAndWait(WindowsFolder() + L"regedit.exe",
                           L"/e \"" + file + L"\" \"" + key.FullName() + L"\"", SW_HIDE, L""));
    ASSERT_TRUE(FileExists(file)) << "returned before the editor had written its file";
    const std::string bytes = ReadFileBytes(file);
    const std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()),
                            bytes.size() / sizeof(wchar_t));
    EXPECT_NE(std::wstring::npos, text.find(L"\"Marker\"=\"exported\""));
}

TEST(RunAndWaitTest, RunsInTheWorkingFolderAndGivesTheExitCode) {
    TempFolder temp;
    const std::wstring folder = temp / L"restore point";  // a blank in the path, as real ones
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));

    DWORD exitCode = 0;
    ASSERT_TRUE(RunAndWait(SystemFolder() + L"cmd.exe", L"/c echo x> out.txt& exit 7", SW_HIDE,
                           folder, exitCode));
    EXPECT_TRUE(FileExists(folder + L"\\out.txt"));
    EXPECT_EQ(7u, exitCode);
}

TEST(RunAndWaitTest, MissingProgramIsNotStarted) {
    TempFolder temp;
    DWORD exitCode = 12345;
    EXPECT_FALSE(RunAndWait(temp / L"missing.exe", L"/x", SW_HIDE, L""));
    EXPECT_FALSE(RunAndWait(temp / L"missing.exe", L"/x", SW_HIDE, temp.Path(), exitCode));
    EXPECT_EQ(12345u, exitCode);
    // A working folder that does not exist stops the start as well.
    EXPECT_FALSE(
        RunAndWait(SystemFolder() + L"cmd.exe", L"/c exit 0", SW_HIDE, temp / L"no such folder"));
}

}  // namespace
}  // namespace kestrova
