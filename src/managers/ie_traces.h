#pragma once
// The Internet Explorer traces cleaner without its window: the seven fixed cleaning actions,
// the two registry actions, where the five file searches start, and the cleanup of what the
// user chose. The searches themselves are in ie_traces_search.h.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "managers/ie_traces_search.h"

namespace kestrova {

// One row of the action list: its caption, whether Internet Explorer needs a restart to show
// the change (advice only: nothing restarts it), what it does, and its check mark at start.
struct IeTraceAction {
    const wchar_t* caption;
    bool restartIe;
    const wchar_t* description;
    bool checkedAtStart;
};

inline constexpr size_t kIeActionCount = 7;
// A row's position selects its action.
inline constexpr size_t kIeTypedUrlsAction = 0;
inline constexpr size_t kIeAutoCompleteAction = 1;
inline constexpr size_t kIeCacheAction = 2;
inline constexpr size_t kIeCookiesAction = 3;
inline constexpr size_t kIeDownloadedFilesAction = 4;
inline constexpr size_t kIeFavoritesAction = 5;
inline constexpr size_t kIeHistoryAction = 6;

inline constexpr std::array<IeTraceAction, kIeActionCount> kIeTraceActions = {{
    {L"Clear the Internet Explorer Typed Address History", true,
     L"Internet Explorer caches any URLs that are typed into the address bar. This may become a "
     L"privacy issue on a shared computer, or a nuisance if there is a particular URL you want "
     L"to remove without clearing the whole history.",
     false},
    {L"Reverse Auto Complete Mode", true,
     L"This setting controls whether the automatic text completion (AutoComplete) feature of "
     L"Windows Explorer appends the suggested text to the words as you are typing as well as "
     L"showing a drop-down list of available values.",
     false},
    {L"Cache", false, L"Cleanup cache file on your system", true},
    {L"Cookies", false, L"Manage cookies on your system", false},
    {L"Downloaded files", false, L"Cleanup downloaded files when you use the Internet Explorer",
     true},
    {L"Favorites list", true, L"Favourites list", false},
    {L"History of visited URLs", true, L"History of Visited URLs", true},
}};

// The "Restart IE" column's text: "Yes" or "No".
inline const wchar_t* RestartIeText(const IeTraceAction& action) {
    return action.restartIe ? L"Yes" : L"No";
}

// Check marks of the action list, one per action.
using IeActionMarks = std::array<bool, kIeActionCount>;
// The marks the list starts with: Cache, Downloaded files and History of visited URLs.
IeActionMarks DefaultIeActionMarks();

// The search an action runs at Start Scan; none for the two registry actions.
std::optional<IeSearch> IeSearchOfAction(size_t action);

// Deletes every value of HKEY_CURRENT_USER\Software\Microsoft\Internet Explorer\TypedURLs;
// the key and its subkeys stay. A missing key is nothing to do. Throws Error when the key
// cannot be opened for writing or a value stays.
void ClearTypedUrls();

// Writes "Append Completion" = "Yes" (or "No") in the current user's key
// Software\Microsoft\Windows\CurrentVersion\Explorer\AutoComplete, creating the key. Throws
// Error when it cannot.
void SetAppendCompletion(bool enabled);

// Where the searches start, each with a trailing "\"; empty when not known (the search is
// then skipped rather than run from the root of a drive).
struct IeFolders {
    std::wstring cache;
    std::wstring cookies;
    std::wstring favorites;
    std::wstring history;
    std::wstring temp;

    const std::wstring& Of(IeSearch search) const;
};

// The "Cache", "Cookies", "Favorites" and "History" values of the current user's Shell
// Folders key, and TempFolder(). A value that is missing, not text, relative, or the root of
// a drive or share gives an empty folder.
IeFolders ReadIeFolders();

// text as a search's start folder: the full path with a trailing "\", or empty when it is
// empty, relative, or names the root of a drive or share.
std::wstring IeStartFolder(const std::wstring& text);

// A search that was not run, and why.
struct IeSkippedSearch {
    IeSearch search;
    std::wstring reason;
};

struct IeScanResult {
    std::vector<IeFoundFile> files;  // every file found, in the order found
    std::vector<IeSkippedSearch> skipped;
    bool stopped = false;  // stopRequested ended the scan early
};

// Start Scan: runs the search of every marked action 2 to 6, in order; actions 0 and 1 find
// nothing. onFound (if given) hears of each file as it is listed; stopRequested (if given) is
// asked before each folder entry.
IeScanResult ScanIeTraces(const IeActionMarks& marks, const IeFolders& folders,
                          const IeFoundCallback& onFound = {},
                          const IeStopQuery& stopRequested = {});

struct IeActionResult {
    size_t action;
    std::optional<std::wstring> error;  // none when it was done
};

struct IeFileResult {
    IeFoundFile file;
    std::optional<std::wstring> error;  // none when the file was deleted
};

struct IeCleanupResult {
    std::vector<IeActionResult> actions;  // the registry actions performed, in order
    std::vector<IeFileResult> files;      // one per file given, in order
    size_t DeletedCount() const;
    bool AllDone() const;  // every action done and every file deleted
};

// Cleanup: performs the marked registry actions (typed addresses, then auto-complete), then
// deletes each file given (pass the checked rows), in order. A file is deleted only when it
// still lies in its search's start folder without a link on the way (see
// IeFileStillInItsFolder).
IeCleanupResult CleanIeTraces(const IeActionMarks& marks, const std::vector<IeFoundFile>& files);

}  // namespace kestrova
