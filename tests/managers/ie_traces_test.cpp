// The Internet Explorer traces cleaner: its actions, the two registry actions, where the
// searches start, Start Scan and Cleanup, on a sandboxed registry and real files.
#include "managers/ie_traces.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "ie_test_support.h"
#include "platform/text.h"
#include "repair_test_support.h"
#include "support/sandbox_test.h"

namespace kestrova {
namespace {

using test::GetValue;
using test::kAutoCompleteKey;
using test::KeyPresent;
using test::kShellFoldersKey;
using test::kTypedUrlsKey;
using test::MakeTree;
using test::PutValue;
using test::RawOf;
using test::Text;
using test::Utf16Bytes;

std::vector<std::wstring> FileNames(const std::vector<IeFoundFile>& files) {
    std::vector<std::wstring> names;
    for (const IeFoundFile& file : files) {
        names.push_back(file.section + L":" + file.fileName);
    }
    std::sort(names.begin(), names.end());
    return names;
}

class IeTracesTest : public test::SandboxTest {
protected:
    // One folder per search below the temporary folder, each holding files of its own.
    IeFolders MakeFolders() {
        IeFolders folders;
        folders.cache = temp_ / L"cache\\";
        folders.cookies = temp_ / L"cookies\\";
        folders.favorites = temp_ / L"favorites\\";
        folders.history = temp_ / L"history\\";
        folders.temp = temp_ / L"temp\\";
        MakeTree(folders.cache, {L"page.htm", L"sub\\pic.gif"});
        MakeTree(folders.cookies, {L"me@site.txt"});
        MakeTree(folders.favorites, {L"Site.url"});
        MakeTree(folders.history, {L"x\\index.dat"});
        MakeTree(folders.temp, {L"setup.tmp", L"keep\\inner.tmp"});
        return folders;
    }
};

TEST_F(IeTracesTest, ActionsStartMarkedAsDesignedAndOnlyTheFileRowsSearch) {
    const IeActionMarks marks = DefaultIeActionMarks();
    EXPECT_EQ(marks, (IeActionMarks{false, false, true, false, true, false, true}));
    const std::optional<IeSearch> searches[] = {std::nullopt,
                                                std::nullopt,
                                                IeSearch::Cache,
                                                IeSearch::Cookies,
                                                IeSearch::TemporaryFiles,
                                                IeSearch::Favorites,
                                                IeSearch::History};
    for (size_t i = 0; i < kIeActionCount; ++i) {
        EXPECT_EQ(IeSearchOfAction(i), searches[i]) << i;
    }
    EXPECT_STREQ(RestartIeText(kIeTraceActions[0]), L"Yes");
    EXPECT_STREQ(RestartIeText(kIeTraceActions[2]), L"No");
}

TEST_F(IeTracesTest, ClearTypedUrlsDeletesEveryValueOfTheKeyAndNothingElse) {
    PutValue(HKEY_CURRENT_USER, kTypedUrlsKey, L"url1", Text(L"http://a.example/"));
    PutValue(HKEY_CURRENT_USER, kTypedUrlsKey, L"url2", Text(L"http://b.example/"));
    PutValue(HKEY_CURRENT_USER, kTypedUrlsKey, L"", Text(L"default"));
    PutValue(HKEY_CURRENT_USER, kTypedUrlsKey, L"odd", RawOf(REG_DWORD, {1, 0, 0, 0}));
    PutValue(HKEY_CURRENT_USER, kTypedUrlsKey + L"\\Sub", L"url1", Text(L"stays"));
    PutValue(HKEY_CURRENT_USER, L"\\Software\\Microsoft\\Internet Explorer\\TypedPaths", L"url1",
             Text(L"stays too"));

    ClearTypedUrls();

    ASSERT_TRUE(KeyPresent(HKEY_CURRENT_USER, kTypedUrlsKey));
    Registry registry(HKEY_CURRENT_USER);
    ASSERT_TRUE(registry.OpenKeyReadOnly(kTypedUrlsKey));
    std::vector<std::wstring> names;
    registry.GetValueNames(names);
    EXPECT_TRUE(names.empty());
    EXPECT_TRUE(GetValue(HKEY_CURRENT_USER, kTypedUrlsKey + L"\\Sub", L"url1").has_value());
    EXPECT_TRUE(GetValue(HKEY_CURRENT_USER, L"\\Software\\Microsoft\\Internet Explorer\\TypedPaths",
                         L"url1")
                    .has_value());
}

TEST_F(IeTracesTest, ClearTypedUrlsWithoutTheKeyCreatesNothing) {
    ClearTypedUrls();
    EXPECT_FALSE(KeyPresent(HKEY_CURRENT_USER, kTypedUrlsKey));
}

TEST_F(IeTracesTest, SetAppendCompletionWritesYesOrNoAsTextCreatingTheKey) {
    SetAppendCompletion(true);
    EXPECT_EQ(GetValue(HKEY_CURRENT_USER, kAutoCompleteKey, L"Append Completion")->data,
              Utf16Bytes(L"Yes"));
    EXPECT_EQ(GetValue(HKEY_CURRENT_USER, kAutoCompleteKey, L"Append Completion")->type,
              static_cast<DWORD>(REG_SZ));
    SetAppendCompletion(false);
    EXPECT_EQ(GetValue(HKEY_CURRENT_USER, kAutoCompleteKey, L"Append Completion")->data,
              Utf16Bytes(L"No"));
    // A value of another type is replaced by the text.
    PutValue(HKEY_CURRENT_USER, kAutoCompleteKey, L"Append Completion",
             RawOf(REG_DWORD, {1, 0, 0, 0}));
    SetAppendCompletion(true);
    const auto value = GetValue(HKEY_CURRENT_USER, kAutoCompleteKey, L"Append Completion");
    EXPECT_EQ(value->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(value->data, Utf16Bytes(L"Yes"));
}

TEST_F(IeTracesTest, StartFoldersComeFromShellFoldersAndNeverNameARoot) {
    const std::wstring cache = temp_ / L"Cache Folder";
    PutValue(HKEY_CURRENT_USER, kShellFoldersKey, L"Cache", Text(cache));
    PutValue(HKEY_CURRENT_USER, kShellFoldersKey, L"Cookies", Text(L""));
    PutValue(HKEY_CURRENT_USER, kShellFoldersKey, L"Favorites", Text(L"C:\\"));
    PutValue(HKEY_CURRENT_USER, kShellFoldersKey, L"History", RawOf(REG_DWORD, {1, 0, 0, 0}));
    const IeFolders folders = ReadIeFolders();
    EXPECT_EQ(folders.cache, cache + L"\\");
    EXPECT_EQ(folders.cookies, L"");
    EXPECT_EQ(folders.favorites, L"");
    EXPECT_EQ(folders.history, L"");
    EXPECT_FALSE(folders.temp.empty());
    EXPECT_EQ(folders.temp.back(), L'\\');

    struct Case {
        const wchar_t* text;
        const wchar_t* start;
    };
    const Case cases[] = {
        {L"C:\\Users\\me\\Cookies", L"C:\\Users\\me\\Cookies\\"},
        {L"C:\\Users\\me\\Cookies\\", L"C:\\Users\\me\\Cookies\\"},
        {L"C:\\Users\\me\\..\\x", L"C:\\Users\\x\\"},
        {L"\\\\server\\share\\folder", L"\\\\server\\share\\folder\\"},
        {L"", L""},
        {L"\\", L""},
        {L"C:\\", L""},
        {L"C:", L""},
        {L"C:Cookies", L""},
        {L"\\Users\\me\\Cookies", L""},
        {L"C:\\Users\\..", L""},
        {L"\\\\server\\share", L""},
        {L"\\\\server\\share\\", L""},
        {L"Cookies", L""},
        {L"%USERPROFILE%\\Cookies", L""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IeStartFolder(c.text), c.start) << ToUtf8(c.text);
    }
}

TEST_F(IeTracesTest, StartScanRunsTheMarkedSearchesAndSkipsUnknownFolders) {
    IeFolders folders = MakeFolders();
    IeActionMarks all{};
    all.fill(true);
    IeScanResult scan = ScanIeTraces(all, folders);
    EXPECT_EQ(
        FileNames(scan.files),
        (std::vector<std::wstring>{L"Cache files:page.htm", L"Cache files:pic.gif",
                                   L"Cookie files:me@site.txt", L"Favorite files:Site.url",
                                   L"History files:index.dat", L"Temporary files:setup.tmp"}));
    EXPECT_TRUE(scan.skipped.empty());

    // The two registry actions find nothing; the searches run in action order.
    IeActionMarks marks{};
    marks[kIeTypedUrlsAction] = marks[kIeAutoCompleteAction] = true;
    EXPECT_TRUE(ScanIeTraces(marks, folders).files.empty());
    marks[kIeHistoryAction] = marks[kIeCacheAction] = true;
    scan = ScanIeTraces(marks, folders);
    ASSERT_EQ(scan.files.size(), 3u);
    EXPECT_EQ(scan.files.back().section, L"History files");

    folders.cookies.clear();
    size_t heard = 0;
    scan = ScanIeTraces(all, folders, [&heard](const IeFoundFile&) { ++heard; });
    EXPECT_EQ(heard, 5u);
    ASSERT_EQ(scan.skipped.size(), 1u);
    EXPECT_EQ(scan.skipped[0].search, IeSearch::Cookies);
    EXPECT_FALSE(scan.skipped[0].reason.empty());
    EXPECT_FALSE(scan.stopped);

    // A stop asked for while the first file is reported ends the scan there.
    bool stop = false;
    scan = ScanIeTraces(
        all, folders, [&stop](const IeFoundFile&) { stop = true; }, [&stop] { return stop; });
    EXPECT_TRUE(scan.stopped);
    EXPECT_EQ(scan.files.size(), 1u);
}

TEST_F(IeTracesTest, CleanupDoesTheMarkedRegistryActionsAndDeletesTheFilesGiven) {
    const IeFolders folders = MakeFolders();
    PutValue(HKEY_CURRENT_USER, kTypedUrlsKey, L"url1", Text(L"http://a.example/"));
    const IeScanResult scan = ScanIeTraces(DefaultIeActionMarks(), folders);
    ASSERT_EQ(scan.files.size(), 4u);  // cache 2, temp 1, history 1
    // The section passes the checked rows: the last one is spared.
    std::vector<IeFoundFile> checked(scan.files.begin(), scan.files.end() - 1);

    const IeCleanupResult result = CleanIeTraces(DefaultIeActionMarks(), checked);
    EXPECT_TRUE(result.actions.empty());
    EXPECT_TRUE(result.AllDone());
    EXPECT_EQ(result.DeletedCount(), 3u);
    for (const IeFoundFile& file : checked) {
        EXPECT_FALSE(test::FileExists(file.FullName())) << ToUtf8(file.FullName());
    }
    EXPECT_TRUE(test::FileExists(scan.files.back().FullName()));
    // A temporary file in a subfolder is never listed, so never deleted.
    EXPECT_TRUE(test::FileExists(folders.temp + L"keep\\inner.tmp"));
    // Unmarked registry actions are not done.
    EXPECT_TRUE(GetValue(HKEY_CURRENT_USER, kTypedUrlsKey, L"url1").has_value());
    EXPECT_FALSE(KeyPresent(HKEY_CURRENT_USER, kAutoCompleteKey));

    // Again, now with both registry actions: the files are gone and say so, one by one.
    IeActionMarks marks{};
    marks[kIeTypedUrlsAction] = marks[kIeAutoCompleteAction] = true;
    const IeCleanupResult again = CleanIeTraces(marks, checked);
    ASSERT_EQ(again.actions.size(), 2u);
    EXPECT_EQ(again.actions[0].action, kIeTypedUrlsAction);
    EXPECT_FALSE(again.actions[0].error.has_value());
    EXPECT_EQ(again.actions[1].action, kIeAutoCompleteAction);
    EXPECT_FALSE(again.actions[1].error.has_value());
    EXPECT_FALSE(GetValue(HKEY_CURRENT_USER, kTypedUrlsKey, L"url1").has_value());
    EXPECT_EQ(GetValue(HKEY_CURRENT_USER, kAutoCompleteKey, L"Append Completion")->data,
              Utf16Bytes(L"Yes"));
    ASSERT_EQ(again.files.size(), checked.size());
    EXPECT_EQ(again.DeletedCount(), 0u);
    EXPECT_FALSE(again.AllDone());
    for (const IeFileResult& file : again.files) {
        EXPECT_TRUE(file.error.has_value() && !file.error->empty());
    }
}

TEST_F(IeTracesTest, AFileThatCannotBeDeletedIsReportedAndTheRestGo) {
    const IeFolders folders = MakeFolders();
    const std::wstring locked = folders.cache + L"page.htm";
    ASSERT_TRUE(SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_READONLY));
    IeActionMarks marks{};
    marks[kIeCacheAction] = true;
    const IeScanResult scan = ScanIeTraces(marks, folders);
    ASSERT_EQ(scan.files.size(), 2u);
    const IeCleanupResult result = CleanIeTraces(marks, scan.files);
    EXPECT_EQ(result.DeletedCount(), 1u);
    EXPECT_FALSE(result.AllDone());
    for (const IeFileResult& file : result.files) {
        EXPECT_EQ(file.error.has_value(), file.file.FullName() == locked);
    }
    EXPECT_TRUE(test::FileExists(locked));
    SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
}  // namespace kestrova
