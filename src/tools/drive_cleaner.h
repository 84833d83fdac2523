#pragma once
// The drive cleaner's logic: the drives to choose from, the kinds of junk files by name masks,
// the excludes, the search the choices make, its summary, the result rows, and the deletion of
// chosen results.

#include <windows.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/find_file.h"

namespace kestrova {

// A drive C: to Z: with a size and free space (both above 0).
struct DriveInfo {
    std::wstring root;  // "C:\"
    uint64_t totalBytes = 0;
    uint64_t freeBytes = 0;  // available to the user
};

// The drives C: to Z: in order, those that have media and free space.
std::vector<DriveInfo> ListDrives();
// Bytes in whole megabytes followed by " MB".
std::wstring MegabytesText(uint64_t bytes);

struct FileType {
    std::wstring caption;     // "File Type"
    std::wstring extensions;  // "Extensions": masks separated by "; "
};

// The seven kinds of junk files the page starts with, all checked.
const std::array<FileType, 7>& DefaultFileTypes();

// The first row whose extensions hold text (letters a to z compared as capitals); none for an
// empty text or no such row.
std::optional<size_t> FindFileTypeRow(const std::vector<FileType>& rows, const std::wstring& text);

enum class ExcludeKind { File, Folder };

struct ExcludeItem {
    std::wstring path;  // "Item"
    ExcludeKind kind = ExcludeKind::File;
};

// "File" or "Folder".
const wchar_t* ExcludeKindText(ExcludeKind kind);

// What the user chose on the three pages.
struct CleanerSelection {
    std::vector<std::wstring> locations;   // the checked drives (or folders), in list order
    std::vector<ExcludeItem> excludes;     // every exclude row, in order
    std::vector<std::wstring> extensions;  // the "Extensions" of each checked type, in order
};

// The file criteria of the search: the locations and extensions each followed by "; ", file
// excludes as exclusion masks, and folder excludes as folders left out with their subtree.
FileCriteria CleanerFileCriteria(const CleanerSelection& selection);

// The text "&Go Search" writes into the summary memo.
std::wstring CleanerSummary(const CleanerSelection& selection);

// One row of the result list.
struct JunkFileRow {
    std::wstring path;          // "File Name"
    uint64_t size = 0;          // bytes
    std::wstring sizeText;      // "File Size"
    std::wstring dateTimeText;  // "File DateTime"
    uint64_t writeTime = 0;     // the last write, UTC, in FILETIME units: what the time sorts by
    // Set when deleting it failed; the row then stays, with the reason.
    bool deleteFailed = false;
    std::wstring deleteError;
};

// folder (with or without a trailing "\") + the entry's name, with the size and time texts.
JunkFileRow MakeJunkFileRow(const std::wstring& folder, const FoundFile& entry);
// Bytes divided by 1024 (toward zero) followed by " KB".
std::wstring KilobytesText(uint64_t bytes);
// The packed local last-write time in the system's short date and long time formats, the time
// left out at midnight exactly.
std::wstring ResultDateTimeText(uint32_t packedLocalTime);

// Runs the cleaner's search on this thread and returns its rows in search order.
std::vector<JunkFileRow> SearchJunkFiles(const CleanerSelection& selection);

struct FileDeletion {
    std::wstring path;
    bool deleted = false;
    std::wstring error;  // why not, when not
};

// Deletes the file for good (not to the recycle bin). A file already gone counts as deleted.
FileDeletion DeleteJunkFile(const std::wstring& path);

// Deletes the files of the chosen rows, from the last to the first. Rows whose file went are
// removed; a row whose file could not be deleted stays, marked with the reason. Returns one
// result per chosen row, in the order deleted.
std::vector<FileDeletion> DeleteJunkRows(std::vector<JunkFileRow>& rows,
                                         std::vector<size_t> chosen);

}  // namespace kestrova
