// Association backups and restores with the real regedit.exe. The registry editor is a process
// of its own that no sandbox of this process redirects, so the store works here on a key of
// the test's own under the real HKEY_CURRENT_USER standing in for HKEY_CLASSES_ROOT, and makes
// its temporary files in the test's folder.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/error.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "repair/registry_editor.h"
#include "support/real_test_key.h"
#include "support/temp_folder.h"
#include "tools/file_association_store.h"

namespace kestrova {
namespace {

std::string Trailer(int32_t first, int32_t second) {
    std::string bytes;
    for (const int32_t value : {first, second}) {
        const uint32_t bits = static_cast<uint32_t>(value);
        for (int i = 0; i < 4; ++i) {
            bytes += static_cast<char>((bits >> (8 * i)) & 0xFF);
        }
    }
    return bytes;
}

class AssociationBackupTest : public ::testing::Test {
protected:
    AssociationBackupTest() {
        CreateDirectoryW(work_.c_str(), nullptr);
        FileAssociatorOptions options;
        options.classesRoot = key_.Key();
        options.tempFolder = work_;
        store_ = TFileAssociator(std::move(options));
    }

    bool KeyPresent(const std::wstring& key) const {
        return Registry(HKEY_CURRENT_USER).KeyExists(key_.Key().path + L"\\" + key);
    }
    // The registry editor's own export of a key below the stand-in root.
    std::string ExportOf(const std::wstring& key) const {
        const std::wstring file = temp_ / L"single.reg";
        EXPECT_EQ(ExportKey(RunRegistryEditor, file, key_.Key().TextOf(key), L""), std::nullopt);
        return test::ReadFileBytes(file);
    }
    // Throws unless restoring the file is refused as no association backup.
    std::wstring RefusalOf(const std::wstring& file) {
        try {
            store_.RestoreAssociation(file);
        } catch (const Error& error) {
            return error.message();
        }
        return L"(restored)";
    }

    test::RealTestKey key_{L"association"};
    test::TempFolder temp_;
    std::wstring work_ = temp_ / L"work\\";
    TFileAssociator store_;
};

TEST_F(AssociationBackupTest, AnAssociationIsBackedUpDeletedAndRestored) {
    store_.WriteAssociation(
        {L".kxt", L"kxtfile", L"Kestrova test file", L"\"C:\\k.exe\" \"%1\"", L"C:\\k.exe,2"});
    // Changed as the change dialog does: read afresh, new command and icon.
    TExtInfo changed = store_.ReadAssociation(L".kxt");
    changed.filePath = L"\"C:\\Program Files\\k2.exe\" \"%1\"";
    changed.fileIcon = L"C:\\k2.exe,0";
    store_.WriteAssociation(changed);

    const std::wstring backup = temp_ / L"kxt backup.dat";
    store_.BackupAssociation(L".kxt", backup);
    EXPECT_TRUE(test::EntryNames(work_).empty());
    const std::string first = ExportOf(L".kxt");
    const std::string second = ExportOf(L"kxtfile");
    ASSERT_FALSE(first.empty());
    ASSERT_FALSE(second.empty());
    const std::string bytes = test::ReadFileBytes(backup);
    ASSERT_EQ(bytes.size(), first.size() + second.size() + 8);
    EXPECT_EQ(bytes.substr(0, first.size()), first);
    EXPECT_EQ(bytes.substr(first.size(), second.size()), second);
    EXPECT_EQ(bytes.substr(bytes.size() - 8),
              Trailer(static_cast<int32_t>(first.size()), static_cast<int32_t>(second.size())));

    store_.WriteAssociation({L".kxt", L"kxtfile", L"Other", L"other.exe", L"other.ico"});
    const AssociationDeletion deletion = store_.DeleteAssociation(L".kxt");
    EXPECT_TRUE(deletion.extensionDeleted);
    EXPECT_TRUE(deletion.fileTypeDeleted);
    EXPECT_FALSE(KeyPresent(L".kxt"));
    EXPECT_FALSE(KeyPresent(L"kxtfile"));

    store_.RestoreAssociation(backup);
    EXPECT_EQ(store_.ReadAssociation(L".kxt"), changed);
    EXPECT_TRUE(test::EntryNames(work_).empty());
}

TEST_F(AssociationBackupTest, WithoutAFileTypeKeyTheSecondPartIsEmptyAndNotImported) {
    // No file type at all, and one whose key is gone: an export of the empty name would hold
    // the whole classes root, and one of the missing key would fail.
    {
        Registry registry(HKEY_CURRENT_USER);
        ASSERT_TRUE(registry.OpenKey(key_.Key().path + L"\\.bare", true));
        ASSERT_TRUE(registry.OpenKey(key_.Key().path + L"\\.dangling", true));
        registry.WriteString(L"", L"gonefile");
    }
    for (const wchar_t* extension : {L".bare", L".dangling"}) {
        const std::wstring backup = temp_ / (std::wstring(extension) + L".dat");
        store_.BackupAssociation(extension, backup);
        const std::string first = ExportOf(extension);
        const std::string bytes = test::ReadFileBytes(backup);
        ASSERT_EQ(bytes.size(), first.size() + 8) << ToUtf8(extension);
        EXPECT_EQ(bytes.substr(0, first.size()), first);
        EXPECT_EQ(bytes.substr(first.size()), Trailer(static_cast<int32_t>(first.size()), 0));

        store_.DeleteAssociation(extension);
        ASSERT_FALSE(KeyPresent(extension));
        store_.RestoreAssociation(backup);
        EXPECT_TRUE(KeyPresent(extension)) << ToUtf8(extension);
        EXPECT_TRUE(test::EntryNames(work_).empty());
    }
    EXPECT_EQ(store_.ReadAssociation(L".dangling").fileType, L"gonefile");
}

TEST_F(AssociationBackupTest, ABackupOfAMissingExtensionFailsAndWritesNoFile) {
    const std::wstring backup = temp_ / L"none.dat";
    try {
        store_.BackupAssociation(L".none", backup);
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(error.message(), L"Cannot back up " + key_.Key().TextOf(L".none") +
                                       L": the registry editor wrote no file");
    }
    EXPECT_FALSE(test::FileExists(backup));
    EXPECT_TRUE(test::EntryNames(work_).empty());
}

TEST_F(AssociationBackupTest, AFileThatIsNoAssociationBackupIsRefusedBeforeAnything) {
    // A registry file that would make a key if it were imported.
    const std::wstring regText =
        test::RegFileHeader() + L"[" + key_.Key().TextOf(L".imported") + L"]\r\n@=\"x\"\r\n\r\n";
    const std::wstring regFile = temp_ / L"part.reg";
    test::WriteRegFile(regFile, regText);
    const std::string part = test::ReadFileBytes(regFile);
    const int32_t size = static_cast<int32_t>(part.size());
    struct Case {
        const char* what;
        std::string bytes;
        const wchar_t* why;
    };
    const Case cases[] = {
        {"empty", "", L"it is shorter than 8 bytes"},
        {"seven bytes", "1234567", L"it is shorter than 8 bytes"},
        {"first size negative", part + Trailer(-1, size + 1), L"it gives a negative size"},
        {"second size negative", part + Trailer(size, -1), L"it gives a negative size"},
        {"first part empty", part + Trailer(0, size), L"its first part is empty"},
        {"sizes too small", part + Trailer(size - 1, 0),
         L"the sizes it gives do not add up to its size"},
        {"sizes too large", part + Trailer(size, 5),
         L"the sizes it gives do not add up to its size"},
        {"no trailer", part, L"the sizes it gives do not add up to its size"},
    };
    for (const Case& c : cases) {
        const std::wstring file = temp_ / L"bad.dat";
        test::WriteFileBytes(file, c.bytes);
        EXPECT_EQ(RefusalOf(file), L"\"" + file + L"\" is not an association backup file: " + c.why)
            << c.what;
        EXPECT_TRUE(test::EntryNames(work_).empty()) << c.what;
    }
    EXPECT_FALSE(KeyPresent(L".imported"));

    // The same part with its right trailer is imported.
    test::WriteFileBytes(temp_ / L"good.dat", part + Trailer(size, 0));
    store_.RestoreAssociation(temp_ / L"good.dat");
    EXPECT_TRUE(KeyPresent(L".imported"));
}

}  // namespace
}  // namespace kestrova
