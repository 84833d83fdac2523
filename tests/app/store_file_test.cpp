#include "app/store_file.h"

#include <gtest/gtest.h>

#include "platform/unique_handles.h"
#include "support/temp_folder.h"

namespace kestrova {
namespace {

using test::FileExists;
using test::ReadFileBytes;
using test::WriteFileBytes;

// Files in a folder whose names begin with a prefix.
std::vector<std::wstring> FilesStartingWith(const std::wstring& folder,
                                            const std::wstring& prefix) {
    std::vector<std::wstring> names;
    for (const std::wstring& name : test::EntryNames(folder)) {
        if (name.rfind(prefix, 0) == 0) {
            names.push_back(name);
        }
    }
    return names;
}

class StoreFileTest : public ::testing::Test {
protected:
    test::TempFolder temp_;
    StoreFile store_{L"ignore.xml", L"IgnoreList", L"ignore list"};
};

TEST_F(StoreFileTest, MissingFileGivesRootOnlyAndWritesNothingUntilSaved) {
    EXPECT_FALSE(store_.Open(temp_.Path()).has_value());
    EXPECT_EQ(store_.Path(), temp_ / L"ignore.xml");
    EXPECT_EQ(store_.Root().Tag(), L"IgnoreList");
    EXPECT_EQ(store_.Root().ChildCount(), 0u);
    EXPECT_FALSE(FileExists(temp_ / L"ignore.xml"));

    EXPECT_TRUE(store_.Save());
    XmlDocument saved;
    saved.Load(temp_ / L"ignore.xml");
    EXPECT_EQ(saved.Root().Tag(), L"IgnoreList");
    EXPECT_EQ(saved.Root().ChildCount(), 0u);
}

TEST_F(StoreFileTest, ReadableFileIsLoaded) {
    WriteFileBytes(temp_ / L"ignore.xml",
                   "<?xml version=\"1.0\"?><IgnoreList><ERROR ROOT=\"HKEY_CURRENT_USER\" "
                   "KEY=\"Software\\A\" VALUE=\"b\"/></IgnoreList>");
    EXPECT_FALSE(store_.Open(temp_.Path()).has_value());
    ASSERT_EQ(store_.Root().ChildCount(), 1u);
    EXPECT_EQ(store_.Root().Child(0).AttributeText(L"KEY"), L"Software\\A");
    EXPECT_TRUE(store_.SetAsidePath().empty());
}

TEST_F(StoreFileTest, UnreadableFileIsSetAsideAndNeverOverwritten) {
    const std::string garbage = "<IgnoreList><ERROR ROOT=";
    WriteFileBytes(temp_ / L"ignore.xml", garbage);

    const auto message = store_.Open(temp_.Path());
    ASSERT_TRUE(message.has_value());
    EXPECT_EQ(store_.Root().Tag(), L"IgnoreList");
    EXPECT_EQ(store_.Root().ChildCount(), 0u);

    // The file moved under a name that says why; the message tells the user where.
    const auto aside = FilesStartingWith(temp_.Path(), L"ignore (unreadable ");
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_EQ(store_.SetAsidePath(), temp_ / aside[0]);
    EXPECT_EQ(aside[0].substr(aside[0].size() - 5), L").xml");
    EXPECT_NE(message->find(store_.SetAsidePath()), std::wstring::npos);
    EXPECT_NE(message->find(temp_ / L"ignore.xml"), std::wstring::npos);
    EXPECT_EQ(ReadFileBytes(store_.SetAsidePath()), garbage);
    EXPECT_FALSE(FileExists(temp_ / L"ignore.xml"));

    // The empty store saves under the real name; the kept file is untouched.
    EXPECT_TRUE(store_.Save());
    EXPECT_TRUE(FileExists(temp_ / L"ignore.xml"));
    EXPECT_EQ(ReadFileBytes(store_.SetAsidePath()), garbage);

    // A second unreadable file later on gets a name of its own.
    WriteFileBytes(temp_ / L"ignore.xml", "not xml");
    StoreFile again(L"ignore.xml", L"IgnoreList", L"ignore list");
    ASSERT_TRUE(again.Open(temp_.Path()).has_value());
    EXPECT_EQ(FilesStartingWith(temp_.Path(), L"ignore (unreadable ").size(), 2u);
    EXPECT_EQ(ReadFileBytes(again.SetAsidePath()), "not xml");
}

TEST_F(StoreFileTest, FileThatCannotBeSetAsideIsNotSavedOver) {
    const std::wstring path = temp_ / L"ignore.xml";
    WriteFileBytes(path, "<IgnoreList>");
    // Another program holds the file open without sharing: it can be neither read nor moved.
    UniqueKernelHandle held(
        CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);

    const auto message = store_.Open(temp_.Path());
    ASSERT_TRUE(message.has_value());
    EXPECT_FALSE(store_.SaveAllowed());
    EXPECT_NE(message->find(L"will not save over"), std::wstring::npos);
    held.Reset();

    EXPECT_FALSE(store_.Save());
    EXPECT_EQ(ReadFileBytes(path), "<IgnoreList>");
}

TEST(UnreadableFileNameTest, KeepsTheExtensionAndAvoidsTakenNames) {
    test::TempFolder temp;
    SYSTEMTIME at = {};
    at.wYear = 2024;
    at.wMonth = 5;
    at.wDay = 7;
    at.wHour = 9;
    at.wMinute = 3;
    at.wSecond = 1;
    const std::wstring first = UnreadableFileName(temp / L"Backup.xml", at);
    EXPECT_EQ(first, temp / L"Backup (unreadable 2024-05-07 09-03-01).xml");
    WriteFileBytes(first, "x");
    EXPECT_EQ(UnreadableFileName(temp / L"Backup.xml", at),
              temp / L"Backup (unreadable 2024-05-07 09-03-01 2).xml");
    EXPECT_EQ(UnreadableFileName(temp / L"noextension", at),
              temp / L"noextension (unreadable 2024-05-07 09-03-01)");
}

}  // namespace
}  // namespace kestrova
