// The name and path rules of the file search, as tables of cases.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/text.h"
#include "tools/find_file_masks.h"

namespace kestrova {
namespace {

TEST(FindFileMasksTest, SplitListTrimsDropsEmptyAndRepeatedPieces) {
    EXPECT_EQ(SplitList(L"C:\\; D:\\;"), (std::vector<std::wstring>{L"C:\\", L"D:\\"}));
    EXPECT_EQ(SplitList(L"*.tmp; *.TMP;;  *.bak ;\t*.tmp\r\n"),
              (std::vector<std::wstring>{L"*.tmp", L"*.bak"}));
    EXPECT_EQ(SplitList(L""), std::vector<std::wstring>{});
    EXPECT_EQ(SplitList(L" ; ;"), std::vector<std::wstring>{});
    EXPECT_EQ(SplitList(L"a b;A B"), std::vector<std::wstring>{L"a b"});
}

TEST(FindFileMasksTest, SubfolderMarksAndTrailingDelimiter) {
    struct Case {
        const wchar_t* entry;
        bool otherwise;
        const wchar_t* rest;
        bool flag;
    };
    for (const Case& c :
         {Case{L">C:\\Data", false, L"C:\\Data", true},
          Case{L"<C:\\Data", true, L"C:\\Data", false}, Case{L"C:\\Data", true, L"C:\\Data", true},
          Case{L"C:\\Data", false, L"C:\\Data", false},
          Case{L">>C:\\Data", false, L">C:\\Data", true}}) {
        std::wstring entry = c.entry;
        EXPECT_EQ(TakeSubfolderFlag(entry, c.otherwise), c.flag) << ToUtf8(c.entry);
        EXPECT_EQ(entry, c.rest) << ToUtf8(c.entry);
    }
    EXPECT_EQ(IncludeTrailingDelimiter(L"C:\\Data"), L"C:\\Data\\");
    EXPECT_EQ(IncludeTrailingDelimiter(L"C:\\Data\\"), L"C:\\Data\\");
    EXPECT_EQ(IncludeTrailingDelimiter(L"C:"), L"C:");
    EXPECT_EQ(IncludeTrailingDelimiter(L""), L"");
}

TEST(FindFileMasksTest, ExpandUncFileNameMakesLocalPathsFull) {
    EXPECT_EQ(ExpandUncFileName(L"C:\\Data\\..\\Temp"), L"C:\\Temp");
    EXPECT_EQ(ExpandUncFileName(L"C:\\"), L"C:\\");
    EXPECT_EQ(ExpandUncFileName(L""), L"");
    wchar_t current[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, current);
    EXPECT_EQ(
        ExpandUncFileName(L"sub"),
        std::wstring(current) + (std::wstring(current).ends_with(L"\\") ? L"" : L"\\") + L"sub");
}

TEST(FindFileMasksTest, WildcardMatchIsNotAGlob) {
    struct Case {
        const wchar_t* name;
        const wchar_t* mask;
        bool matches;
    };
    for (const Case& c : {
             Case{L"abc", L"a*x", true},   // "*" ends the match whatever follows
             Case{L"abc", L"ab", false},   // the mask ran out first
             Case{L"abc", L"abc?", true},  // a trailing "?" may match nothing
             Case{L"abc", L"abc*?*", true}, Case{L"abc", L"abcd", false},
             Case{L"ABC", L"abc", true},  // letters a to z compared as capitals
             Case{L"a?c", L"a?c", true}, Case{L"axc", L"a?c", true},
             Case{L"\u00e9", L"\u00c9", false},  // no other letters are folded
             Case{L"", L"", true}, Case{L"", L"*", true}, Case{L"", L"x", false},
             Case{L"anything", L"*", true}, Case{L"Apple", L"A*B", true},  // begins with a: enough
         }) {
        EXPECT_EQ(WildcardMatch(c.name, c.mask), c.matches)
            << ToUtf8(c.name) << " / " << ToUtf8(c.mask);
    }
}

TEST(FindFileMasksTest, FileNameMatchesMaskComparesBaseAndExtensionApart) {
    struct Case {
        const wchar_t* file;
        const wchar_t* mask;
        bool matches;
    };
    for (const Case& c : {
             Case{L"~temp.doc", L"~*", true},  // a mask without extension ignores the file's
             Case{L"~temp", L"~*", true},
             Case{L"temp.doc", L"~*", false},
             Case{L"old.bak", L"*.bak", true},
             Case{L"old.BAK", L"*.bak", true},
             Case{L"old.bak.txt", L"*.bak", false},  // the extension is from the last "."
             Case{L"old", L"*.bak", false},
             Case{L"old", L"*.", true},  // without extension the file's is "."
             Case{L"keep.tmp", L"keep.tmp", true},
             Case{L"keep.tmp", L"KEEP.TMP", true},
             Case{L"keeper.tmp", L"keep.tmp", false},
             Case{L"a.b.tmp", L"a.b.*", true},
             Case{L"Windows", L"Windows", true},
             Case{L"Windows.old", L"Windows", true},
         }) {
        EXPECT_EQ(FileNameMatchesMask(c.file, c.mask), c.matches)
            << ToUtf8(c.file) << " / " << ToUtf8(c.mask);
    }
}

TEST(FindFileMasksTest, DriveMatchesMask) {
    struct Case {
        const wchar_t* fileDrive;
        const wchar_t* maskDrive;
        bool matches;
    };
    for (const Case& c : {
             Case{L"C:", L"C:", true},
             Case{L"c:", L"C:", true},
             Case{L"D:", L"C:", false},
             Case{L"", L"C:", false},
             Case{L"D:", L"*:", true},
             Case{L"D:", L"?:", true},
             Case{L"", L"*:", true},
             Case{L"\\\\server\\share", L"\\\\server\\share", true},
             Case{L"\\\\SERVER\\share", L"\\\\server\\*", true},
             Case{L"\\\\other\\share", L"\\\\server\\share", false},
             Case{L"C:", L"\\\\server\\share", false},
         }) {
        EXPECT_EQ(DriveMatchesMask(c.fileDrive, c.maskDrive), c.matches)
            << ToUtf8(c.fileDrive) << " / " << ToUtf8(c.maskDrive);
    }
}

TEST(FindFileMasksTest, ExcludeMaskMatchesTheEndOfTheFolder) {
    struct Case {
        const wchar_t* folder;
        const wchar_t* file;
        const wchar_t* mask;
        bool excluded;
    };
    for (const Case& c : {
             // A drive, a path and a name.
             Case{L"C:\\Data\\", L"keep.tmp", L"C:\\Data\\keep.tmp", true},
             Case{L"C:\\Old\\Data\\", L"keep.tmp", L"C:\\Data\\keep.tmp", true},
             Case{L"c:\\old\\data\\", L"KEEP.TMP", L"C:\\Data\\keep.tmp", true},
             Case{L"D:\\Data\\", L"keep.tmp", L"C:\\Data\\keep.tmp", false},
             Case{L"C:\\Data\\Sub\\", L"keep.tmp", L"C:\\Data\\keep.tmp", false},
             Case{L"C:\\MyData\\", L"keep.tmp", L"C:\\Data\\keep.tmp", false},
             Case{L"C:\\Data\\", L"other.tmp", L"C:\\Data\\keep.tmp", false},
             // A folder path alone: the files directly in any folder of that name.
             Case{L"C:\\Temp\\", L"a.tmp", L"\\Temp\\", true},
             Case{L"D:\\x\\Temp\\", L"a.tmp", L"\\Temp\\", true},
             Case{L"C:\\Temp\\Sub\\", L"a.tmp", L"\\Temp\\", false},
             Case{L"C:\\", L"a.tmp", L"\\Temp\\", false},
             // A drive alone: every file on it.
             Case{L"C:\\", L"a.tmp", L"C:\\", true},
             Case{L"C:\\Deep\\Down\\", L"a.tmp", L"C:\\", true},
             Case{L"D:\\", L"a.tmp", L"C:\\", false},
             Case{L"D:\\Any\\", L"a.tmp", L"*:\\", true},
             // Names alone.
             Case{L"C:\\x\\", L"~old.doc", L"~*", true},
             Case{L"C:\\x\\", L"old.doc", L"~*", false},
             Case{L"C:\\x\\", L"a.bak", L"*.bak", true},
             Case{L"C:\\x\\", L"a.tmp", L"*.bak", false},
             // A folder row read as a mask names files called like the folder.
             Case{L"C:\\", L"Windows", L"C:\\Windows", true},
             Case{L"C:\\Windows\\", L"notepad.exe", L"C:\\Windows", false},
             // Network folders.
             Case{L"\\\\srv\\share\\dir\\", L"a.tmp", L"\\\\srv\\share\\dir\\", true},
             Case{L"\\\\srv\\other\\dir\\", L"a.tmp", L"\\\\srv\\share\\dir\\", false},
         }) {
        EXPECT_EQ(ExcludeMaskMatches(c.folder, c.file, c.mask), c.excluded)
            << ToUtf8(c.folder) << " " << ToUtf8(c.file) << " / " << ToUtf8(c.mask);
    }
}

TEST(FindFileMasksTest, PathNameAndDriveParts) {
    EXPECT_EQ(PathPart(L"C:\\Data\\keep.tmp"), L"C:\\Data\\");
    EXPECT_EQ(NamePart(L"C:\\Data\\keep.tmp"), L"keep.tmp");
    EXPECT_EQ(PathPart(L"C:keep.tmp"), L"C:");
    EXPECT_EQ(NamePart(L"keep.tmp"), L"keep.tmp");
    EXPECT_EQ(PathPart(L"keep.tmp"), L"");
    EXPECT_EQ(DrivePart(L"C:\\Data\\"), L"C:");
    EXPECT_EQ(DrivePart(L"\\\\srv\\share\\dir\\"), L"\\\\srv\\share");
    EXPECT_EQ(DrivePart(L"\\Data\\"), L"");
}

}  // namespace
}  // namespace kestrova
