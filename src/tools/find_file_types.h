#pragma once
// What the file search hands its callers: one entry of a directory enumeration, and the answer
// to a folder-change event.

#include <windows.h>

#include <cstdint>
#include <string>

namespace kestrova {

// One entry as the directory enumeration gives it. Sizes are 64-bit: files of 4 GB and more
// are reported and tested with their full size.
struct FoundFile {
    std::wstring name;
    DWORD attributes = 0;
    uint64_t size = 0;
    FILETIME creationTime = {};  // all three UTC
    FILETIME lastAccessTime = {};
    FILETIME lastWriteTime = {};
};

// The answer of a folder-change event: which parts of the folder are searched.
enum class FolderIgnore {
    None,               // its files and its subfolders
    JustThis,           // not its files, but its subfolders
    JustSubfolders,     // its files, but not its subfolders
    ThisAndSubfolders,  // neither
};

// The entry's last-write time as the enumeration packs it: local time in DOS form, to two
// seconds (date in the high word).
uint32_t PackedLocalTime(const FILETIME& utc);

}  // namespace kestrova
