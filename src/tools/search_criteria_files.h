#pragma once
// Where the file search looks and which entries' attributes it takes. Copying a criteria
// object copies every field; the defaults are part of the interface.

#include <windows.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace kestrova {

struct FileCriteria {
    // Masks looked for in every Location folder, separated by ";".
    std::wstring fileName;
    // Folders separated by ";"; each may begin with ">" (subfolders too) or "<" (this alone).
    std::wstring location;
    // Entries of the form folder + mask, each adding one mask to one folder; ">" and "<" as
    // for location.
    std::vector<std::wstring> included;
    // Exclusion masks: optional drive, optional folder path (matched against the end of a
    // file's folder), optional file mask.
    std::vector<std::wstring> excluded;
    // Folders left out with everything below them: never entered, never reported from.
    std::vector<std::wstring> excludedFolders;
    // Whether subfolders are searched for entries without ">" or "<".
    bool subfolders = true;
    // Files are reported only from this depth on (start folder 1; 0 and 1 the same).
    uint16_t minLevel = 0;
    // Folders deeper than this are not entered; 0 for no limit.
    uint16_t maxLevel = 0;
};

enum class FileAttribute { Archive, Readonly, Hidden, System, Directory };

// A set of FileAttribute values.
class FileAttributes {
public:
    FileAttributes() = default;
    FileAttributes(std::initializer_list<FileAttribute> attributes);

    bool Has(FileAttribute attribute) const { return (set_ & Bit(attribute)) != 0; }
    void Add(FileAttribute attribute) { set_ |= Bit(attribute); }
    void Remove(FileAttribute attribute) { set_ &= ~Bit(attribute); }
    bool operator==(const FileAttributes&) const = default;

private:
    static unsigned Bit(FileAttribute attribute) { return 1u << static_cast<unsigned>(attribute); }
    unsigned set_ = 0;
};

// Which attribute bits an entry may (or, with exactMatch, must exactly) have. Held as Windows
// attribute bits: read-only 0x01, hidden 0x02, system 0x04, directory 0x10, archive 0x20.
class AttributeCriteria {
public:
    static constexpr DWORD kTestedBits = 0x37;
    static constexpr DWORD kDefaultBits = 0x27;  // all but the directory

    FileAttributes Attributes() const;
    void SetAttributes(const FileAttributes& attributes);
    DWORD Bits() const { return bits_; }

    bool exactMatch = false;

    // The attribute test of the search: the entry's tested bits equal the set with
    // exactMatch, otherwise have no bit outside it.
    bool Matches(DWORD entryAttributes) const;

private:
    DWORD bits_ = kDefaultBits;
};

}  // namespace kestrova
