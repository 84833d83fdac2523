#include "app/data_folder.h"
#include "platform/error.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace kestrova {
namespace {

TEST(DataFolderTest, IsTheExecutablesFolderWithOneTrailingBackslash) {
    const struct {
        const wchar_t* executable;
        const wchar_t* folder;
    } cases[] = {
        {L"C:\\Program Files\\Kestrova\\kestrova.exe", L"C:\\Program Files\\Kestrova\\"},
        {L"C:\\kestrova.exe", L"C:\\"},
        {L"\\\\server\\share\\tools\\kestrova.exe", L"\\\\server\\share\\tools\\"},
        {L"Z:\\tmp\\dir.with.dots\\k.exe", L"Z:\\tmp\\dir.with.dots\\"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FolderOf(c.executable), c.folder);
    }
    EXPECT_EQ(WithTrailingBackslash(L"C:\\data"), L"C:\\data\\");
    EXPECT_EQ(WithTrailingBackslash(L"C:\\data\\"), L"C:\\data\\");
    EXPECT_EQ(BackupFolderPath(L"C:\\data\\"), L"C:\\data\\Backup");

    // The running program's own folder, whatever the current directory.
    const std::wstring exe = ExecutablePath();
    const std::wstring folder = FolderOf(exe);
    EXPECT_EQ(exe.rfind(folder, 0), 0u);
    EXPECT_EQ(exe.find(L'\\', folder.size()), std::wstring::npos);
}

TEST(DataFolderTest, EnsureFolderCreatesOneLevelAndKeepsAnExistingOne) {
    test::TempFolder temp;
    const std::wstring backup = BackupFolderPath(temp.Path());
    EnsureFolder(backup);
    EXPECT_TRUE(IsExistingFolder(backup));
    test::WriteFileBytes(backup + L"\\kept.txt", "x");
    EXPECT_NO_THROW(EnsureFolder(backup));
    EXPECT_TRUE(test::FileExists(backup + L"\\kept.txt"));

    // Only one level is made; the message names the folder.
    const std::wstring deep = temp / L"missing\\Backup";
    try {
        EnsureFolder(deep);
        ADD_FAILURE() << "a folder below a missing one was created";
    } catch (const Error& error) {
        EXPECT_NE(error.message().find(deep), std::wstring::npos);
    }
    // A file of that name is in the way.
    test::WriteFileBytes(temp / L"Blocked", "x");
    EXPECT_THROW(EnsureFolder(temp / L"Blocked"), Error);
}

}  // namespace
}  // namespace kestrova
