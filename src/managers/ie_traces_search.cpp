#include "managers/ie_traces_search.h"

#include <windows.h>

#include <array>

#include "platform/unique_handles.h"

namespace kestrova {

namespace {

constexpr wchar_t kEveryName[] = L"*.*";

bool SameTextIgnoringCase(const std::wstring& a, const wchar_t* b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b, -1, TRUE) == CSTR_EQUAL;
}

bool AcceptsAnyFile(const std::wstring&) {
    return true;
}

bool AcceptsCacheFile(const std::wstring& name) {
    return !SameTextIgnoringCase(name, L"desktop.ini");
}

// The extension is the text from the last "." on, compared with regard to case.
bool AcceptsFavoriteFile(const std::wstring& name) {
    const size_t dot = name.rfind(L'.');
    return dot != std::wstring::npos && name.compare(dot, std::wstring::npos, L".url") == 0;
}

bool AcceptsHistoryFile(const std::wstring& name) {
    return SameTextIgnoringCase(name, L"index.dat");
}

const std::array<IeSearchRule, kIeSearchCount> kRules = {{
    {L"Cache files", kEveryName, true, AcceptsCacheFile},
    {L"Cookie files", L"*.txt", true, AcceptsAnyFile},
    {L"Temporary files", kEveryName, false, AcceptsAnyFile},
    {L"Favorite files", kEveryName, true, AcceptsFavoriteFile},
    {L"History files", kEveryName, true, AcceptsHistoryFile},
}};

std::wstring Upper(std::wstring text) {
    if (!text.empty()) {
        CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    }
    return text;
}

bool IsLink(DWORD attributes) {
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

bool IsFolder(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// One search's fixed parts while it walks.
struct SearchWalk {
    const IeSearchRule& rule;
    const std::wstring& startFolder;
    std::vector<IeFoundFile>& found;
    const IeFoundCallback& onFound;
    const IeStopQuery& stopRequested;
};

// False when the walk was stopped.
bool SearchFolder(const SearchWalk& walk, const std::wstring& folder) {
    const IeSearchRule& rule = walk.rule;
    WIN32_FIND_DATAW entry;
    const UniqueFindHandle find(FindFirstFileW((folder + rule.pattern).c_str(), &entry));
    if (!find) {
        return true;
    }
    do {
        if (walk.stopRequested && walk.stopRequested()) {
            return false;
        }
        const std::wstring name = entry.cFileName;
        if (!MatchesNamePattern(name, rule.pattern)) {
            continue;
        }
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            // A junction or symbolic link leads out of the folder given: never entered.
            if (rule.descends && name != L"." && name != L".." && !IsLink(entry.dwFileAttributes) &&
                !SearchFolder(walk, folder + name + L"\\")) {
                return false;
            }
        } else if (rule.accepts(name)) {
            walk.found.push_back({rule.section, name, folder, walk.startFolder});
            if (walk.onFound) {
                walk.onFound(walk.found.back());
            }
        }
    } while (FindNextFileW(find.Get(), &entry));
    return true;
}

}  // namespace

const IeSearchRule& IeSearchRuleOf(IeSearch search) {
    return kRules.at(static_cast<size_t>(search));
}

bool MatchesNamePattern(const std::wstring& name, const std::wstring& pattern) {
    if (pattern == kEveryName) {
        return true;
    }
    const std::wstring text = Upper(name);
    const std::wstring mask = Upper(pattern);
    // Greedy match, going back to the last "*" on a mismatch.
    size_t t = 0;
    size_t m = 0;
    size_t starMask = std::wstring::npos;
    size_t starText = 0;
    while (t < text.size()) {
        if (m < mask.size() && (mask[m] == L'?' || mask[m] == text[t])) {
            ++t;
            ++m;
        } else if (m < mask.size() && mask[m] == L'*') {
            starMask = m++;
            starText = t;
        } else if (starMask != std::wstring::npos) {
            m = starMask + 1;
            t = ++starText;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == L'*') {
        ++m;
    }
    return m == mask.size();
}

bool RunIeSearch(IeSearch search, const std::wstring& startFolder, std::vector<IeFoundFile>& found,
                 const IeFoundCallback& onFound, const IeStopQuery& stopRequested) {
    if (startFolder.empty()) {
        return true;
    }
    return SearchFolder({IeSearchRuleOf(search), startFolder, found, onFound, stopRequested},
                        startFolder);
}

bool IeFileStillInItsFolder(const IeFoundFile& file) {
    const std::wstring& start = file.startFolder;
    if (start.empty() || start.back() != L'\\' || file.folder.size() < start.size() ||
        CompareStringOrdinal(file.folder.c_str(), static_cast<int>(start.size()), start.c_str(),
                             static_cast<int>(start.size()), TRUE) != CSTR_EQUAL ||
        file.fileName.empty() || file.fileName == L"." || file.fileName == L".." ||
        file.fileName.find_first_of(L"\\/:") != std::wstring::npos) {
        return false;
    }
    if (!IsFolder(GetFileAttributesW(start.c_str()))) {
        return false;
    }
    // Each folder below the start, one level at a time: a real folder, never a link.
    std::wstring level = start;
    size_t from = start.size();
    while (from < file.folder.size()) {
        const size_t slash = file.folder.find(L'\\', from);
        if (slash == std::wstring::npos) {
            return false;
        }
        const std::wstring part = file.folder.substr(from, slash - from);
        if (part.empty() || part == L"." || part == L"..") {
            return false;
        }
        level += part;
        // Asked without a trailing "\", which would be answered for the link's target.
        const DWORD attributes = GetFileAttributesW(level.c_str());
        level += L"\\";
        if (!IsFolder(attributes) || IsLink(attributes)) {
            return false;
        }
        from = slash + 1;
    }
    return true;
}

}  // namespace kestrova
