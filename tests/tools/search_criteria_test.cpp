// The criteria of the file search: their defaults and copies, and the attribute, size,
// time-stamp and content tests at their boundaries.
#include <windows.h>

#include <algorithm>

#include <gtest/gtest.h>

#include "file_tree_support.h"
#include "platform/error.h"
#include "platform/text.h"
#include "support/temp_folder.h"
#include "tools/find_file_targets.h"
#include "tools/search_criteria.h"

namespace kestrova {
namespace {

using test::MakeFile;

TEST(SearchCriteriaTest, DefaultsAndCopies) {
    const SearchCriteria defaults;
    EXPECT_TRUE(defaults.files.fileName.empty());
    EXPECT_TRUE(defaults.files.location.empty());
    EXPECT_TRUE(defaults.files.subfolders);
    EXPECT_EQ(defaults.files.minLevel, 0);
    EXPECT_EQ(defaults.files.maxLevel, 0);
    EXPECT_EQ(defaults.attribute.Bits(), 0x27u);
    EXPECT_EQ(defaults.attribute.Attributes(),
              FileAttributes({FileAttribute::Archive, FileAttribute::Readonly,
                              FileAttribute::Hidden, FileAttribute::System}));
    EXPECT_FALSE(defaults.attribute.exactMatch);
    EXPECT_EQ(defaults.size.min, 0u);
    EXPECT_EQ(defaults.size.max, 0u);
    EXPECT_EQ(defaults.timeStamp.modifiedBefore, 0);
    EXPECT_TRUE(defaults.content.Phrase().empty());
    EXPECT_TRUE(defaults.content.IgnoreCase());
    EXPECT_FALSE(defaults.content.wholeWord);

    SearchCriteria original;
    original.files.included = {L"C:\\a\\*.tmp"};
    original.files.excluded = {L"*.bak"};
    original.content.SetPhrase(L"Needle");
    SearchCriteria copy = original;
    original.files.included.push_back(L"C:\\b\\*.tmp");
    original.files.excluded.clear();
    original.content.SetPhrase(L"other");
    EXPECT_EQ(copy.files.included, std::vector<std::wstring>{L"C:\\a\\*.tmp"});
    EXPECT_EQ(copy.files.excluded, std::vector<std::wstring>{L"*.bak"});
    EXPECT_EQ(copy.content.ComparedPhrase(), "needle");
}

TEST(SearchCriteriaTest, AttributeSetsAndTheirTest) {
    AttributeCriteria attribute;
    attribute.SetAttributes({FileAttribute::Directory, FileAttribute::Hidden});
    EXPECT_EQ(attribute.Bits(),
              static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN));
    EXPECT_TRUE(attribute.Attributes().Has(FileAttribute::Directory));
    EXPECT_FALSE(attribute.Attributes().Has(FileAttribute::Archive));

    struct Case {
        FileAttributes set;
        bool exact;
        DWORD entry;
        bool matches;
    };
    const FileAttributes defaults = AttributeCriteria().Attributes();
    for (const Case& c : {
             Case{defaults, false, 0, true},
             Case{defaults, false, FILE_ATTRIBUTE_NORMAL, true},  // 0x80 is not tested
             Case{defaults, false, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, true},
             Case{defaults, false, FILE_ATTRIBUTE_DIRECTORY, false},
             Case{defaults, false, FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_TEMPORARY, true},
             Case{{FileAttribute::Archive}, false, FILE_ATTRIBUTE_HIDDEN, false},
             Case{{FileAttribute::Archive}, true, FILE_ATTRIBUTE_ARCHIVE, true},
             Case{{FileAttribute::Archive}, true, 0, false},
             Case{{FileAttribute::Archive, FileAttribute::Hidden},
                  true,
                  FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_COMPRESSED,
                  true},
             Case{{}, true, 0, true},
         }) {
        AttributeCriteria criteria;
        criteria.SetAttributes(c.set);
        criteria.exactMatch = c.exact;
        EXPECT_EQ(criteria.Matches(c.entry), c.matches) << std::hex << c.entry << " " << c.exact;
    }
}

TEST(SearchCriteriaTest, ContentPhraseTakesTheDirectoryAttributeOffTheSearchCopy) {
    SearchCriteria criteria;
    criteria.attribute.SetAttributes({FileAttribute::Directory, FileAttribute::Archive});
    EXPECT_TRUE(TargetSearch(criteria).Attribute().Attributes().Has(FileAttribute::Directory));
    criteria.content.SetPhrase(L"x");
    EXPECT_EQ(TargetSearch(criteria).Attribute().Attributes(),
              FileAttributes({FileAttribute::Archive}));
    EXPECT_TRUE(criteria.attribute.Attributes().Has(FileAttribute::Directory));
}

TEST(SearchCriteriaTest, SizeBounds) {
    struct Case {
        uint64_t min;
        uint64_t max;
        uint64_t size;
        bool matches;
    };
    for (const Case& c :
         {Case{0, 0, 0, true}, Case{0, 0, 0xFFFFFFFFFFull, true}, Case{100, 0, 99, false},
          Case{100, 0, 100, true}, Case{0, 100, 100, true}, Case{0, 100, 101, false},
          Case{100, 100, 100, true}, Case{0, 100, 0x100000064ull, false},
          Case{0x100000000ull, 0, 0xFFFFFFFFull, false}}) {
        EXPECT_EQ((SizeCriteria{c.min, c.max}.Matches(c.size)), c.matches)
            << c.min << " " << c.max << " " << c.size;
    }
}

class CriteriaFilesTest : public ::testing::Test {
protected:
    // The names (without folder) a search of the temp folder reports, sorted.
    std::vector<std::wstring> Found(SearchCriteria criteria) {
        criteria.files.location = temp_.Path();
        criteria.files.fileName = L"*.*";
        std::vector<std::wstring> names;
        for (const std::wstring& path : test::SearchFiles(criteria)) {
            names.push_back(path.substr(temp_.Path().size()));
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    test::TempFolder temp_;
};

TEST_F(CriteriaFilesTest, SizeBoundsOnRealFiles) {
    MakeFile(temp_ / L"99.bin", std::string(99, 'x'));
    MakeFile(temp_ / L"100.bin", std::string(100, 'x'));
    MakeFile(temp_ / L"101.bin", std::string(101, 'x'));
    SearchCriteria criteria;
    criteria.size = {100, 100};
    EXPECT_EQ(Found(criteria), std::vector<std::wstring>{L"100.bin"});
    criteria.size = {100, 0};
    EXPECT_EQ(Found(criteria), (std::vector<std::wstring>{L"100.bin", L"101.bin"}));
    criteria.size = {0, 0};
    EXPECT_EQ(Found(criteria).size(), 3u);
}

TEST_F(CriteriaFilesTest, TimeStampBoundsWholeDaysTimeOfDayAndFullValues) {
    MakeFile(temp_ / L"day-early.txt");
    MakeFile(temp_ / L"day-late.txt");
    MakeFile(temp_ / L"next-day.txt");
    test::SetLocalFileTimes(temp_ / L"day-early.txt", 2021, 3, 14, 0, 0, 2);
    test::SetLocalFileTimes(temp_ / L"day-late.txt", 2021, 3, 14, 23, 59, 58);
    test::SetLocalFileTimes(temp_ / L"next-day.txt", 2021, 3, 15, 10, 0, 0);
    const DateTimeValue day = DateTimeValueOf(2021, 3, 14);
    const std::vector<std::wstring> all = {L"day-early.txt", L"day-late.txt", L"next-day.txt"};
    const std::vector<std::wstring> onDay = {L"day-early.txt", L"day-late.txt"};

    struct Case {
        const char* what;
        DateTimeCriteria bounds;
        std::vector<std::wstring> found;
    };
    DateTimeCriteria none;
    DateTimeCriteria modifiedBeforeDay;
    modifiedBeforeDay.modifiedBefore = day;  // whole days: all of that day passes
    DateTimeCriteria modifiedAfterDay;
    modifiedAfterDay.modifiedAfter = day + 1;
    DateTimeCriteria beforeNoonAnyDay;
    beforeNoonAnyDay.modifiedBefore = 0.5;  // the time of day only
    DateTimeCriteria beforeNoonOfDay;
    beforeNoonOfDay.modifiedBefore = day + 0.5;  // the full value
    DateTimeCriteria createdLongAgo;
    createdLongAgo.createdBefore = DateTimeValueOf(1990, 1, 1);
    DateTimeCriteria accessedWindow;
    accessedWindow.accessedAfter = day;
    accessedWindow.accessedBefore = day;
    for (const Case& c : {
             Case{"none", none, all},
             Case{"modified before the day", modifiedBeforeDay, onDay},
             Case{"modified after the next day", modifiedAfterDay, {L"next-day.txt"}},
             Case{"before noon, any day", beforeNoonAnyDay, {L"day-early.txt", L"next-day.txt"}},
             Case{"before noon of the day", beforeNoonOfDay, {L"day-early.txt"}},
             Case{"created before 1990", createdLongAgo, {}},
             Case{"accessed on the day", accessedWindow, onDay},
         }) {
        SearchCriteria criteria;
        criteria.timeStamp = c.bounds;
        EXPECT_EQ(Found(criteria), c.found) << c.what;
    }
}

class ContentTest : public ::testing::Test {
protected:
    bool Contains(const std::string& bytes, const std::wstring& phrase, bool ignoreCase = true,
                  bool wholeWord = false) {
        MakeFile(temp_ / L"content.bin", bytes);
        ContentCriteria content;
        content.SetPhrase(phrase);
        content.SetIgnoreCase(ignoreCase);
        content.wholeWord = wholeWord;
        return content.Matches(temp_ / L"content.bin");
    }

    test::TempFolder temp_;
};

TEST_F(ContentTest, CaseAndWholeWords) {
    struct Case {
        const char* bytes;
        const wchar_t* phrase;
        bool ignoreCase;
        bool wholeWord;
        bool found;
    };
    for (const Case& c : {
             Case{"xx abc yy", L"ABC", true, false, true},
             Case{"xx abc yy", L"ABC", false, false, false},
             Case{"xx ABC yy", L"ABC", false, false, true},
             Case{"xx ABC yy", L"abc", true, false, true},
             Case{"a cat.", L"cat", true, true, true},
             Case{"concatenate", L"cat", true, true, false},
             Case{"concatenate", L"cat", true, false, true},
             Case{"cat", L"cat", true, true, true},  // start and end of the file bound it
             Case{"cats cat", L"cat", true, true, true},
             Case{"cats", L"cat", true, true, false},
             Case{"(cat)", L"cat", true, true, true},
             Case{"ca", L"cat", true, false, false},  // shorter than the phrase
             Case{"", L"cat", true, false, false},
             Case{"anything", L"", true, false, true},
             Case{"ccat", L"cat", true, false, true},
         }) {
        EXPECT_EQ(Contains(c.bytes, c.phrase, c.ignoreCase, c.wholeWord), c.found)
            << c.bytes << " / " << ToUtf8(c.phrase) << " " << c.ignoreCase << c.wholeWord;
    }
    // Letters other than A to Z are not lowered in the phrase, but are in the file.
    EXPECT_FALSE(Contains("\xe9t\xe9", L"\u00c9T\u00c9", true, false));
    EXPECT_TRUE(Contains("\xe9t\xe9", L"\u00e9T\u00e9", true, false));
}

TEST_F(ContentTest, ByteMapsAndWordDelimiters) {
    EXPECT_EQ(LowerCaseByteMap()['A'], 'a');
    EXPECT_EQ(LowerCaseByteMap()['a'], 'a');
    EXPECT_EQ(LowerCaseByteMap()['1'], '1');
    EXPECT_EQ(IdentityByteMap()['A'], 'A');
    EXPECT_TRUE(IsWordDelimiter(0));
    EXPECT_TRUE(IsWordDelimiter(' '));
    EXPECT_TRUE(IsWordDelimiter('.'));
    EXPECT_TRUE(IsWordDelimiter('_'));
    EXPECT_FALSE(IsWordDelimiter('a'));
    EXPECT_FALSE(IsWordDelimiter('Z'));
    EXPECT_FALSE(IsWordDelimiter('7'));
    ContentCriteria content;
    content.SetPhrase(L"MiXed");
    EXPECT_EQ(content.ComparedPhrase(), "mixed");
    EXPECT_EQ(content.ByteMap(), LowerCaseByteMap());
    content.SetIgnoreCase(false);
    EXPECT_EQ(content.ComparedPhrase(), "MiXed");
    EXPECT_EQ(content.ByteMap(), IdentityByteMap());
}

TEST_F(ContentTest, MatchesAcrossBufferBoundaries) {
    ASSERT_EQ(kContentBufferSize, 61440u);
    const size_t edge = kContentBufferSize;
    for (size_t start : {edge - 5, edge - 1, edge, edge + 1, 2 * edge - 3}) {
        std::string bytes(3 * edge, 'x');
        bytes.replace(start, 6, "needle");
        EXPECT_TRUE(Contains(bytes, L"NEEDLE")) << start;
        EXPECT_TRUE(Contains(bytes, L"needle", false, false)) << start;
    }
    // A partial match at a buffer's end that fails in the next one, then a real match.
    std::string bytes(2 * edge + 10, 'x');
    bytes.replace(edge - 3, 3, "nee");
    EXPECT_FALSE(Contains(bytes, L"needle"));
    bytes.replace(edge + 100, 6, "needle");
    EXPECT_TRUE(Contains(bytes, L"needle"));

    // Whole words: what follows the match lies in the next buffer.
    std::string words(2 * edge, 'x');
    words.replace(edge - 4, 5, " cats");
    EXPECT_FALSE(Contains(words, L"cat", true, true));
    words.replace(edge - 4, 5, " cat ");
    EXPECT_TRUE(Contains(words, L"cat", true, true));
    // And what goes before it lies in the previous one.
    std::string before(2 * edge, 'x');
    before.replace(edge, 4, "cat ");
    EXPECT_FALSE(Contains(before, L"cat", true, true));
    before[edge - 1] = ' ';
    EXPECT_TRUE(Contains(before, L"cat", true, true));
}

TEST_F(ContentTest, PhraseLongerThanTheBuffer) {
    // Bytes that never repeat a pattern, so the phrase has no false starts.
    std::string phrase(kContentBufferSize + 8000, '\0');
    uint32_t seed = 12345;
    for (char& c : phrase) {
        seed = seed * 1103515245 + 12345;
        c = static_cast<char>('a' + (seed >> 16) % 26);
    }
    std::wstring widePhrase(phrase.begin(), phrase.end());
    ContentCriteria content;
    content.SetPhrase(widePhrase);
    EXPECT_EQ(content.BufferSizeFor(200000), phrase.size() + 1);
    EXPECT_EQ(content.BufferSizeFor(1000), 1000u);
    EXPECT_EQ(ContentCriteria().BufferSizeFor(200000), kContentBufferSize);

    std::string bytes(200000, '#');
    bytes.replace(100001, phrase.size(), phrase);
    EXPECT_TRUE(Contains(bytes, widePhrase));
    bytes[100001 + phrase.size() - 1] = '#';
    EXPECT_FALSE(Contains(bytes, widePhrase));
    // The whole file is the phrase.
    EXPECT_TRUE(Contains(phrase, widePhrase, false, true));
}

TEST_F(ContentTest, UnreadableFilesDoNotMatchAndFoldersAreNeverTested) {
    ContentCriteria content;
    content.SetPhrase(L"x");
    EXPECT_FALSE(content.Matches(temp_ / L"missing.txt"));
    EXPECT_THROW(content.FileContainsPhrase(temp_ / L"missing.txt"), Error);

    MakeFile(temp_ / L"dir.txt\\inside.txt", "x");
    MakeFile(temp_ / L"file.txt", "has x");
    SearchCriteria criteria;
    criteria.files.location = temp_.Path();
    criteria.files.fileName = L"*.txt";
    criteria.attribute.SetAttributes({FileAttribute::Directory, FileAttribute::Archive});
    criteria.content.SetPhrase(L"x");
    EXPECT_EQ(test::SearchFiles(criteria),
              (std::vector<std::wstring>{temp_ / L"file.txt", temp_ / L"dir.txt\\inside.txt"}));
}

}  // namespace
}  // namespace kestrova
