#pragma once
// The ignore list without a window: its entries (Root, Key Name, Value) and the changes the
// Ignore List section and the error list make to it. Entry i is child i of the IgnoreList
// root. Every change saves ignore.xml at once.
//
// The scan consults the same document through IgnoreListMatches (scan/ignore_match.h). Each
// change here holds the document's lock, so the scan never sees half of one.

#include <optional>
#include <string>
#include <vector>

#include "platform/xml_document.h"
#include "repair/store_saver.h"

namespace kestrova {

inline constexpr wchar_t kIgnoreRootTag[] = L"IgnoreList";
inline constexpr wchar_t kIgnoreEntryTag[] = L"ERROR";
inline constexpr wchar_t kIgnoreRootAttribute[] = L"ROOT";
inline constexpr wchar_t kIgnoreKeyAttribute[] = L"KEY";
inline constexpr wchar_t kIgnoreValueAttribute[] = L"VALUE";

struct IgnoreEntry {
    std::wstring root;
    std::wstring key;
    std::wstring value;
};

struct IgnoreAddResult {
    bool added = false;
    // The file could not be written: the message. The change stays in memory and reaches the
    // file with the next successful save.
    std::optional<std::wstring> saveError;
};

struct IgnoreRowsResult {
    // Indices into the Key Names given, in the order their entries were appended (the last
    // row first): the caller removes these rows from the error list.
    std::vector<size_t> added;
    // Key Names holding characters that the file cannot carry: left in the error list.
    std::vector<size_t> notAdded;
    std::optional<std::wstring> saveError;
};

class IgnoreList {
public:
    // The document and how to save it.
    IgnoreList(XmlDocument& ignoreList, StoreSaver save);

    // The entries in document order. Throws XmlError for an entry that lacks one of its three
    // attributes.
    std::vector<IgnoreEntry> Entries() const;

    // "Add": when all three texts are non-empty, appends an entry holding them exactly as
    // typed and saves; otherwise does nothing.
    IgnoreAddResult Add(const std::wstring& root, const std::wstring& keyName,
                        const std::wstring& value);

    // "&Add to Ignore List": the Key Names of the checked error rows, in list order. From the
    // last to the first, appends an entry per Key Name: ROOT up to its first "\", KEY between
    // its first and last "\", VALUE after its last "\". Then saves.
    IgnoreRowsResult AddErrorRows(const std::vector<std::wstring>& keyNames);

    // "Remove": deletes the chosen entries (indices into the list, any order), from the last
    // to the first, then saves. Nothing happens when none is chosen. Returns the save's error.
    std::optional<std::wstring> Remove(const std::vector<size_t>& entries);

private:
    void AppendEntry(const std::wstring& root, const std::wstring& key, const std::wstring& value);

    XmlDocument& ignoreList_;
    StoreSaver save_;
};

}  // namespace kestrova
