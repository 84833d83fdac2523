#pragma once
// The five file searches of the Internet Explorer traces cleaner: each walks a folder with
// the system's find-first/find-next enumeration and a name pattern, depth first, and lists
// the files it accepts. No search ever enters a junction or symbolic link, so it never leaves
// the folder it was given.

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace kestrova {

enum class IeSearch { Cache, Cookies, TemporaryFiles, Favorites, History };
inline constexpr size_t kIeSearchCount = 5;

struct IeSearchRule {
    const wchar_t* section;  // the found rows' "Section" text
    const wchar_t* pattern;  // names listed; folders too, when the search descends
    bool descends;           // whether it enters the subfolders the pattern lists
    bool (*accepts)(const std::wstring& fileName);
};

// cache: "*.*", descends, every file but "desktop.ini" (any case), "Cache files".
// cookies: "*.txt", descends into folders matching it, every file listed, "Cookie files".
// temporary files: "*.*", stays in its folder, every file, "Temporary files".
// favorites: "*.*", descends, files whose extension is exactly ".url", "Favorite files".
// history: "*.*", descends, files named "index.dat" (any case), "History files".
const IeSearchRule& IeSearchRuleOf(IeSearch search);

// True when name matches a pattern of "*" (any run of characters) and "?" (one character),
// without regard to case; "*.*" matches every name. Only the long name counts: the system's
// enumeration also matches 8.3 short names ("notes.txtx" as "NOTES~1.TXT").
bool MatchesNamePattern(const std::wstring& name, const std::wstring& pattern);

// One row of the found-files list.
struct IeFoundFile {
    std::wstring section;      // "Section": the search that found it
    std::wstring fileName;     // "File Name": without folder
    std::wstring folder;       // "Full Path": the folder that holds it, ending in "\"
    std::wstring startFolder;  // where the search started: cleanup deletes nothing outside it

    std::wstring FullName() const { return folder + fileName; }
    friend bool operator==(const IeFoundFile&, const IeFoundFile&) = default;
};

using IeFoundCallback = std::function<void(const IeFoundFile&)>;
// Asked before each entry; true ends the search there (a section's worker being stopped).
using IeStopQuery = std::function<bool()>;

// Runs one search from startFolder (with its trailing "\") and appends each file it accepts to
// found, in the order the system lists the entries, descending into a subfolder as soon as it
// is listed. A folder that is missing or cannot be listed adds nothing. onFound (if given)
// hears of each file as it is added. Returns false when stopRequested ended it early.
bool RunIeSearch(IeSearch search, const std::wstring& startFolder, std::vector<IeFoundFile>& found,
                 const IeFoundCallback& onFound = {}, const IeStopQuery& stopRequested = {});

// True when the row's folder is still its start folder or a folder below it, reached without
// passing through a junction or symbolic link, and its file name is a plain name: a folder
// replaced by a link since the search must not lead a deletion elsewhere. Whether the file
// itself is still there is not asked.
bool IeFileStillInItsFolder(const IeFoundFile& file);

}  // namespace kestrova
