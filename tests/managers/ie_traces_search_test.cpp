// The five file searches of the Internet Explorer traces cleaner, on real folders: their
// patterns, where they descend, which names they accept, and that no search ever enters a
// folder link.
#include "managers/ie_traces_search.h"

#include <windows.h>

#include <algorithm>

#include <gtest/gtest.h>

#include "ie_test_support.h"
#include "managers/ie_traces.h"
#include "platform/text.h"
#include "support/temp_folder.h"

namespace kestrova {
namespace {

using test::MakeTree;

class IeTracesSearchTest : public ::testing::Test {
protected:
    // Each found file as its path below start, sorted; every row is checked on the way.
    std::vector<std::wstring> Found(IeSearch search, const std::wstring& start) {
        std::vector<IeFoundFile> found;
        size_t heard = 0;
        RunIeSearch(search, start, found, [&heard](const IeFoundFile&) { ++heard; });
        EXPECT_EQ(heard, found.size());
        std::vector<std::wstring> paths;
        for (const IeFoundFile& file : found) {
            EXPECT_EQ(file.section, IeSearchRuleOf(search).section);
            EXPECT_EQ(file.startFolder, start);
            EXPECT_EQ(file.folder.back(), L'\\');
            EXPECT_EQ(file.folder.compare(0, start.size(), start), 0) << ToUtf8(file.folder);
            EXPECT_TRUE(test::FileExists(file.FullName())) << ToUtf8(file.FullName());
            paths.push_back(file.FullName().substr(start.size()));
        }
        std::sort(paths.begin(), paths.end());
        return paths;
    }

    test::TempFolder temp_;
};

TEST_F(IeTracesSearchTest, EachSearchListsTheFilesItAcceptsWhereItDescends) {
    struct Case {
        IeSearch search;
        std::vector<std::wstring> tree;
        std::vector<std::wstring> expected;  // sorted
    };
    const std::vector<Case> cases = {
        {IeSearch::Cache,
         {L"a.dat", L"Desktop.INI", L"noext", L"sub\\desktop.ini", L"sub\\b.htm",
          L"sub\\deep\\c.gif", L"empty\\"},
         {L"a.dat", L"noext", L"sub\\b.htm", L"sub\\deep\\c.gif"}},
        // Only names matching "*.txt" are listed, folders too; a longer extension whose short
        // name would match is not.
        {IeSearch::Cookies,
         {L"user@site.txt", L"notes.TXT", L"index.dat", L"session.txtx", L"plain\\inner.txt",
          L"box.txt\\inside.txt", L"box.txt\\other.dat"},
         {L"box.txt\\inside.txt", L"notes.TXT", L"user@site.txt"}},
        {IeSearch::TemporaryFiles,
         {L"a.tmp", L"b", L"desktop.ini", L"sub\\c.tmp"},
         {L"a.tmp", L"b", L"desktop.ini"}},
        {IeSearch::Favorites,
         {L"Site.url", L"Other.URL", L"x.url.bak", L"links\\y.url", L"links\\z.lnk",
          L"links\\deeper\\w.url"},
         {L"Site.url", L"links\\deeper\\w.url", L"links\\y.url"}},
        {IeSearch::History,
         {L"index.dat", L"x.dat", L"History.IE5\\INDEX.DAT", L"History.IE5\\MSHist01\\index.dat",
          L"History.IE5\\other.txt", L"index.dat.old"},
         {L"History.IE5\\INDEX.DAT", L"History.IE5\\MSHist01\\index.dat", L"index.dat"}},
    };
    for (const Case& c : cases) {
        const std::wstring start = temp_ / (std::to_wstring(static_cast<int>(c.search)) + L"\\");
        MakeTree(start, c.tree);
        EXPECT_EQ(Found(c.search, start), c.expected) << ToUtf8(IeSearchRuleOf(c.search).section);
    }
}

TEST_F(IeTracesSearchTest, AMissingOrEmptyStartFolderFindsNothing) {
    for (IeSearch search : {IeSearch::Cache, IeSearch::History, IeSearch::TemporaryFiles}) {
        EXPECT_TRUE(Found(search, temp_ / L"missing\\").empty());
        std::vector<IeFoundFile> found;
        RunIeSearch(search, L"", found);
        EXPECT_TRUE(found.empty());
    }
}

// A junction or symbolic link inside a searched folder leads elsewhere: a search that entered
// it would list, and the cleanup delete, files outside the folder it was given.
TEST_F(IeTracesSearchTest, NoSearchEntersAFolderLink) {
    const std::wstring outside = temp_ / L"outside\\";
    MakeTree(outside, {L"victim.txt", L"victim.url", L"index.dat", L"deep\\index.dat"});
    const std::wstring start = temp_ / L"start\\";
    MakeTree(start, {L"own.txt", L"own.url", L"real\\index.dat"});
    const test::FolderLink link(start + L"link.txt", outside.substr(0, outside.size() - 1));
    ASSERT_TRUE(link.Made());
    ASSERT_TRUE(test::FileExists(start + L"link.txt\\victim.txt"));

    EXPECT_EQ(Found(IeSearch::Cache, start),
              (std::vector<std::wstring>{L"own.txt", L"own.url", L"real\\index.dat"}));
    EXPECT_EQ(Found(IeSearch::Cookies, start), std::vector<std::wstring>{L"own.txt"});
    EXPECT_EQ(Found(IeSearch::Favorites, start), std::vector<std::wstring>{L"own.url"});
    EXPECT_EQ(Found(IeSearch::History, start), std::vector<std::wstring>{L"real\\index.dat"});

    // A row leading through the link, as if a folder had been replaced by one after the scan,
    // or out of its start folder, is not deleted.
    const std::vector<IeFoundFile> rows = {
        {L"Cache files", L"victim.txt", start + L"link.txt\\", start},
        {L"Cache files", L"index.dat", start + L"link.txt\\deep\\", start},
        {L"Cache files", L"victim.url", start + L"..\\outside\\", start},
        {L"Cache files", L"victim.url", outside, start},
        {L"Cache files", L"..\\outside\\victim.txt", start, start},
    };
    const IeCleanupResult result = CleanIeTraces(IeActionMarks{}, rows);
    ASSERT_EQ(result.files.size(), rows.size());
    for (const IeFileResult& file : result.files) {
        EXPECT_TRUE(file.error.has_value()) << ToUtf8(file.file.FullName());
    }
    for (const wchar_t* name : {L"victim.txt", L"victim.url", L"index.dat", L"deep\\index.dat"}) {
        EXPECT_TRUE(test::FileExists(outside + name)) << ToUtf8(name);
    }
}

TEST(IeNamePatternTest, MatchesLongNamesWithoutRegardToCase) {
    struct Case {
        const wchar_t* name;
        const wchar_t* pattern;
        bool matches;
    };
    const Case cases[] = {
        {L"a.txt", L"*.txt", true},         {L"A.TXT", L"*.txt", true},
        {L".txt", L"*.txt", true},          {L"a.txt.bak", L"*.txt", false},
        {L"a.txtx", L"*.txt", false},       {L"txt", L"*.txt", false},
        {L"noext", L"*.*", true},           {L"a.b.c", L"*.*", true},
        {L"ab.txt", L"?b.*", true},         {L"b.txt", L"?b.*", false},
        {L"index.dat", L"index.dat", true}, {L"x", L"*", true},
        {L"aXbXc", L"a*b*c", true},         {L"aXbXd", L"a*b*c", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MatchesNamePattern(c.name, c.pattern), c.matches)
            << ToUtf8(c.name) << " ~ " << ToUtf8(c.pattern);
    }
}

}  // namespace
}  // namespace kestrova
