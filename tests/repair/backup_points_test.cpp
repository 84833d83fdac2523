// Restore points: names, the Backup folder's listing, deletion, and backups and restores run
// by the real regedit.exe. The registry editor is a process of its own that no sandbox of
// this process redirects, so these tests export and import keys of their own under the real
// HKEY_CURRENT_USER; the one backup of the five whole roots is cut down to the test's own key
// before it is restored, so nothing else of the test prefix is ever written.
#include "repair/backup_points.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "platform/error.h"
#include "platform/file_paths.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "repair/delete_folder_files.h"
#include "support/real_test_key.h"
#include "support/temp_folder.h"
#include "platform/unique_handles.h"

namespace kestrova {
namespace {

using test::RealTestKey;

SYSTEMTIME At(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second) {
    SYSTEMTIME time = {};
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    time.wHour = hour;
    time.wMinute = minute;
    time.wSecond = second;
    return time;
}

TEST(RestorePointNames, SlashesAndColonsBecomeDashesAndUnderscoresOtherSeparatorsStay) {
    const SYSTEMTIME time = At(2024, 3, 5, 14, 7, 9);
    EXPECT_EQ(RestorePointName(time, L"MM/dd/yyyy", L"HH:mm:ss"), L"03-05-2024 14_07_09");
    EXPECT_EQ(RestorePointName(time, L"dd.MM.yyyy", L"HH.mm.ss"), L"05.03.2024 14.07.09");
    // The user's own formats: whatever they are, the name is one folder name.
    const std::wstring own = RestorePointName(time);
    EXPECT_TRUE(IsRestorePointName(own)) << ToUtf8(own);
    EXPECT_NE(own.find(L"2024"), std::wstring::npos) << ToUtf8(own);
    EXPECT_NE(own.find(L' '), std::wstring::npos);
}

TEST(RestorePointNames, OnlyNamesThatStayInsideTheBackupFolderAreTaken) {
    for (const wchar_t* name : {L"03-05-2024 14_07_09", L"05.03.2024 14.07.09 (2)", L"a"}) {
        EXPECT_TRUE(IsRestorePointName(name)) << ToUtf8(name);
    }
    for (const wchar_t* name :
         {L"", L".", L"..", L"...", L"..\\x", L"a\\b", L"a/b", L"C:x", L"a*", L"name ", L"name."}) {
        EXPECT_FALSE(IsRestorePointName(name)) << ToUtf8(name);
    }
}

TEST(RestorePointList, RefreshAppendsOnlyNewNamesAndKeepsTheGoneOnes) {
    std::vector<std::wstring> listed = {L"b", L"gone", L"a"};
    EXPECT_EQ(AddNewRestorePoints(listed, {L"a", L"c", L"B", L"b", L"d"}), 3u);
    EXPECT_EQ(listed, (std::vector<std::wstring>{L"b", L"gone", L"a", L"c", L"B", L"d"}));
    EXPECT_EQ(AddNewRestorePoints(listed, {}), 0u);
}

class BackupPointsFolderTest : public ::testing::Test {
protected:
    std::wstring Backup() const { return temp_ / L"Backup\\"; }
    void MakeFolder(const std::wstring& path) {
        ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr)) << ToUtf8(path);
    }

    test::TempFolder temp_;
};

TEST_F(BackupPointsFolderTest, ListShowsPlainFoldersInTheFileSystemsOrder) {
    const BackupPoints points(temp_.Path());
    EXPECT_TRUE(points.List().empty());  // no Backup folder yet
    points.EnsureBackupFolder();
    for (const wchar_t* name : {L"one", L"two", L"three", L"odd"}) {
        MakeFolder(Backup() + name);
    }
    test::WriteFileBytes(Backup() + L"file.reg", "x");
    // A folder with another attribute besides the directory attribute is no restore point.
    ASSERT_TRUE(SetFileAttributesW((Backup() + L"odd").c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_EQ(GetFileAttributesW((Backup() + L"odd").c_str()),
              static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN));

    std::vector<std::wstring> expected;
    for (const std::wstring& name : test::EntryNames(Backup())) {
        if (name != L"file.reg" && name != L"odd") {
            expected.push_back(name);
        }
    }
    EXPECT_EQ(points.List(), expected);
    EXPECT_EQ(expected.size(), 3u);
}

TEST_F(BackupPointsFolderTest, DeletionEmptiesTheFolderTreeAndRemovesItWhenItCan) {
    const BackupPoints points(temp_.Path());
    points.EnsureBackupFolder();
    MakeFolder(Backup() + L"plain");
    test::WriteFileBytes(Backup() + L"plain\\HKEY_USERS.reg", "x");
    MakeFolder(Backup() + L"nested");
    MakeFolder(Backup() + L"nested\\sub");
    test::WriteFileBytes(Backup() + L"nested\\HKEY_USERS.reg", "x");
    test::WriteFileBytes(Backup() + L"nested\\sub\\deep.reg", "x");

    const RestorePointDeletion plain = points.Delete(L"plain");
    EXPECT_TRUE(plain.existed);
    EXPECT_TRUE(plain.notDeleted.empty());
    EXPECT_TRUE(plain.folderRemoved);
    EXPECT_FALSE(IsExistingFolder(Backup() + L"plain"));

    // Files below go, both folders stay.
    const RestorePointDeletion nested = points.Delete(L"nested");
    EXPECT_TRUE(nested.existed);
    EXPECT_TRUE(nested.notDeleted.empty());
    EXPECT_FALSE(nested.folderRemoved);
    EXPECT_TRUE(IsExistingFolder(Backup() + L"nested\\sub"));
    EXPECT_FALSE(test::FileExists(Backup() + L"nested\\HKEY_USERS.reg"));
    EXPECT_FALSE(test::FileExists(Backup() + L"nested\\sub\\deep.reg"));

    EXPECT_FALSE(points.Delete(L"never").existed);
    // Names that would reach outside the Backup folder, or name the folder itself.
    for (const wchar_t* name : {L"", L"..", L"...", L"..\\Backup", L"nested\\sub"}) {
        EXPECT_THROW(points.Delete(name), Error) << ToUtf8(name);
    }
    EXPECT_TRUE(IsExistingFolder(Backup() + L"nested\\sub"));
}

TEST_F(BackupPointsFolderTest, AFileThatCannotBeDeletedIsNamedAndTheRestGoes) {
    MakeFolder(temp_ / L"point");
    test::WriteFileBytes(temp_ / L"point\\a.reg", "x");
    test::WriteFileBytes(temp_ / L"point\\held.reg", "x");
    test::WriteFileBytes(temp_ / L"point\\z.reg", "x");
    // Held open without leave to delete it.
    const UniqueKernelHandle held(CreateFileW((temp_ / L"point\\held.reg").c_str(), GENERIC_READ,
                                              FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                              FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held);
    EXPECT_EQ(DeleteFolderFiles(temp_ / L"point"), std::vector<std::wstring>{L"held.reg"});
    EXPECT_EQ(test::EntryNames(temp_ / L"point\\"), std::vector<std::wstring>{L"held.reg"});
    EXPECT_EQ(DeleteErrorMessage(L"held.reg"), L" Delete error: held.reg");
}

TEST_F(BackupPointsFolderTest, ABackupInTheSameSecondGetsAFolderOfItsOwn) {
    BackupPointsOptions options;
    options.clock = [] { return At(2024, 3, 5, 14, 7, 9); };
    const BackupPoints points(temp_.Path(), std::move(options));
    const std::wstring first = points.CreateRestorePointFolder();
    test::WriteFileBytes(Backup() + first + L"\\HKEY_USERS.reg", "first");
    const std::wstring second = points.CreateRestorePointFolder();
    const std::wstring third = points.CreateRestorePointFolder();
    EXPECT_EQ(second, first + L" (2)");
    EXPECT_EQ(third, first + L" (3)");
    EXPECT_TRUE(test::EntryNames(Backup() + second + L"\\").empty());
    EXPECT_EQ(test::ReadFileBytes(Backup() + first + L"\\HKEY_USERS.reg"), "first");
}

// Backups and restores of keys of the test's own, with the real registry editor.
class BackupPointsRunTest : public ::testing::Test {
protected:
    void SetValue(const std::wstring& text) {
        Registry registry(HKEY_CURRENT_USER);
        ASSERT_TRUE(registry.OpenKey(key_.Key().path, true));
        registry.WriteString(L"Value", text);
    }
    std::wstring Value() {
        Registry registry(HKEY_CURRENT_USER);
        return registry.OpenKeyReadOnly(key_.Key().path) ? registry.ReadString(L"Value")
                                                         : L"(no key)";
    }
    BackupPointsOptions Options(std::vector<BackupKey> keys) {
        BackupPointsOptions options;
        options.keys = std::move(keys);
        options.pauseMs = 0;
        return options;
    }
    std::wstring Backup() const { return temp_ / L"Backup\\"; }

    RealTestKey key_{L"backup"};
    test::TempFolder temp_;
    std::vector<std::wstring> statuses_;
    StatusSink status_ = [this](const std::wstring& text) { statuses_.push_back(text); };
};

TEST_F(BackupPointsRunTest, AKeyThatWasNotExportedIsNamedInsteadOfDone) {
    const std::wstring missing = key_.Text() + L"\\Missing";
    SetValue(L"kept");
    const BackupPoints points(temp_.Path(), Options({{key_.Text(), L"own.reg"},
                                                     {missing, L"missing.reg"},
                                                     {key_.Text(), L"again.reg"}}));
    const BackupPoints::Created created = points.Create(status_);
    const std::wstring failure =
        L"Backup of " + missing + L" failed: the registry editor wrote no file";
    EXPECT_EQ(statuses_, (std::vector<std::wstring>{
                             kBackupPauseStatus, BackingUpStatus(key_.Text()), kStepDoneStatus,
                             kBackupPauseStatus, BackingUpStatus(missing), failure,
                             kBackupPauseStatus, BackingUpStatus(key_.Text()), kStepDoneStatus,
                             L"Backup incomplete: " + missing}));
    EXPECT_EQ(created.run.failures, std::vector<std::wstring>{failure});
    EXPECT_EQ(points.FileCount(created.name), 2u);
    EXPECT_EQ(points.List(), std::vector<std::wstring>{created.name});
}

TEST_F(BackupPointsRunTest, ARestorePointMissingAFileRestoresTheOthersAndSaysWhichIsMissing) {
    const std::wstring other = key_.Text() + L"\\Other";
    const BackupPoints points(temp_.Path(),
                              Options({{key_.Text(), L"own.reg"}, {other, L"other.reg"}}));
    points.EnsureBackupFolder();
    ASSERT_TRUE(CreateDirectoryW((Backup() + L"partial").c_str(), nullptr));
    test::WriteRegFile(Backup() + L"partial\\own.reg", test::RegFileHeader() + L"[" + key_.Text() +
                                                           L"]\r\n\"Value\"=\"restored\"\r\n");

    const BackupPointRun run = points.Restore(L"partial", status_);
    const std::wstring failure = L"Restoring " + other + L" failed: other.reg is missing";
    EXPECT_EQ(statuses_, (std::vector<std::wstring>{RestoringStatus(key_.Text()), kStepDoneStatus,
                                                    RestoringStatus(other), failure,
                                                    L"Restore incomplete: " + other}));
    EXPECT_EQ(run.failures, std::vector<std::wstring>{failure});
    EXPECT_EQ(Value(), L"restored");
}

TEST_F(BackupPointsRunTest, RestoreWithoutAChosenRestorePointImportsNothing) {
    const BackupPoints points(temp_.Path(), Options({{key_.Text(), L"own.reg"}}));
    points.EnsureBackupFolder();
    // A file in the Backup folder itself, where an empty name would lead.
    test::WriteRegFile(Backup() + L"own.reg", test::RegFileHeader() + L"[" + key_.Text() +
                                                  L"]\r\n\"Value\"=\"wrong\"\r\n");
    SetValue(L"kept");
    for (const wchar_t* name : {L"", L"..", L"none"}) {
        EXPECT_THROW(points.Restore(name, status_), Error) << ToUtf8(name);
        EXPECT_THROW(points.RestorePointFolder(name), Error) << ToUtf8(name);
    }
    EXPECT_TRUE(statuses_.empty());
    EXPECT_EQ(Value(), L"kept");
}

// The one whole-registry backup of these tests: every root key exported, listed, restored
// (cut down to this test's key) and deleted.
TEST_F(BackupPointsRunTest, ARestorePointOfTheFiveRootsIsMadeListedRestoredAndDeleted) {
    SetValue(L"before");
    BackupPointsOptions options;
    options.pauseMs = 0;
    const BackupPoints points(temp_.Path(), std::move(options));
    const BackupPoints::Created created = points.Create(status_);
    EXPECT_TRUE(created.run.Succeeded()) << ToUtf8(created.run.failures.front());

    std::vector<std::wstring> expected;
    for (const BackupKey& key : RootBackupKeys()) {
        expected.insert(expected.end(),
                        {kBackupPauseStatus, BackingUpStatus(key.keyName), kStepDoneStatus});
    }
    EXPECT_EQ(statuses_, expected);
    EXPECT_EQ(points.List(), std::vector<std::wstring>{created.name});
    EXPECT_EQ(points.FileCount(created.name), 5u);

    const std::wstring folder = Backup() + created.name + L"\\";
    const std::vector<std::wstring> files = {L"HKEY_CLASSES_ROOT.reg", L"HKEY_CURRENT_USER.reg",
                                             L"HKEY_LOCAL_MACHINE.reg", L"HKEY_USERS.reg",
                                             L"HKEY_CURRENT_CONFIG.reg"};
    for (size_t i = 0; i < files.size(); ++i) {
        const std::wstring text = test::ReadRegFile(folder + files[i]);
        EXPECT_EQ(
            text.rfind(test::RegFileHeader() + L"[" + RootBackupKeys()[i].keyName + L"]\r\n", 0),
            0u)
            << ToUtf8(files[i]);
        // Only the test's own key goes back: the rest of the prefix is left as it is.
        test::WriteRegFile(folder + files[i], test::RegSectionsOf(text, key_.Text()));
    }
    const std::wstring ours = test::ReadRegFile(folder + L"HKEY_CURRENT_USER.reg");
    EXPECT_NE(ours.find(L"\"Value\"=\"before\""), std::wstring::npos) << ToUtf8(ours);

    SetValue(L"after");
    statuses_.clear();
    const BackupPointRun restored = points.Restore(created.name, status_);
    EXPECT_TRUE(restored.Succeeded());
    expected.clear();
    for (const BackupKey& key : RootBackupKeys()) {
        expected.insert(expected.end(), {RestoringStatus(key.keyName), kStepDoneStatus});
    }
    EXPECT_EQ(statuses_, expected);
    EXPECT_EQ(Value(), L"before");

    const RestorePointDeletion deletion = points.Delete(created.name);
    EXPECT_TRUE(deletion.folderRemoved);
    EXPECT_TRUE(points.List().empty());
}

}  // namespace
}  // namespace kestrova
