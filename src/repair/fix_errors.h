#pragma once
// Fixing checked error rows: each row's key tree or value is recorded as one history entry,
// the history is saved, and only then is anything deleted, so the undo data of a fix is on
// disk before the registry changes.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/xml_document.h"
#include "repair/store_saver.h"

namespace kestrova {

// One checked error row, as the list shows it.
struct FixRow {
    std::wstring errorType;  // "Error Type"
    std::wstring keyName;    // "Key Name"
    std::wstring guessPath;  // "Guess Path"
};

// What a row's Key Name names in the registry.
struct FixTarget {
    HKEY root = nullptr;
    bool isKey = false;
    // For a key: the parent's path (from the root, starting with "\") and the key's name in
    // it. For a value: the path of its key and the value's name.
    std::wstring keyPath;
    std::wstring name;
};

// A key when root + parent + "\" + leaf exists, else a value named by the leaf (the default
// value when the Key Name ends in "\"). The value
// name of a "Shared DLLs" row is the file path at the end of its Key Name: from the drive
// letter before its first ":\" on, or, for a path without one (a network path), everything
// after the SharedDlls key; either way it never reaches above that key.
FixTarget FixTargetOf(const FixRow& row);

// False for a row that must never be fixed, whatever produced it (see FixResult::refused).
bool FixTargetAllowed(const FixRow& row, const FixTarget& target);

struct FixResult {
    // Rows whose entries were recorded, saved and deleted (or found already gone): the caller
    // removes them from the list. Indices into the rows given, from the last to the first.
    std::vector<size_t> handled;
    // Handled rows whose key or value was not deleted: already gone, refused, or its parent
    // key could not be opened. Their history entries stay.
    std::vector<size_t> notDeleted;
    // Rows left alone because what they name could not be recorded exactly (a name that the
    // history file cannot hold, something unreadable): deleting would lose data.
    std::vector<size_t> notRecorded;
    // Rows refused before anything was recorded: their Key Name does not begin with one of
    // the five root names, or what they name lies less than two levels below the root (a
    // root itself, or a key such as HKEY_CURRENT_USER\Software). Nothing is deleted for them.
    std::vector<size_t> refused;
    // When the history could not be saved: its message. Nothing was deleted then, no row is
    // handled and the new entries are taken out of the document again.
    std::optional<std::wstring> saveError;
};

// The one message that tells the user which rows a fix left (not recorded, refused) or could
// not delete, by their Key Names (the first 20 of each kind, then how many more), and a failed
// save. Empty when every row was recorded, saved and deleted.
std::wstring FixSummaryText(const FixResult& result, const std::vector<FixRow>& rows);

// Appends one history entry per row to the history root, from the last row to the first,
// saves the history once with `save`, then deletes what the rows name in the same order.
// Rows are given in list order; pass only the checked ones. With no rows nothing is saved.
FixResult FixErrors(XmlDocument& history, const StoreSaver& save, const std::vector<FixRow>& rows);

}  // namespace kestrova
