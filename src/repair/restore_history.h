#pragma once
// The restore history without a window: its entries' labels, writing chosen entries back, and
// clearing it. Entry i is child i of the history root.

#include <optional>
#include <string>
#include <vector>

#include "platform/xml_document.h"
#include "repair/store_saver.h"

namespace kestrova {

// An entry that could not be written back whole: it stays in the history.
struct RestoreFailure {
    std::wstring name;  // the entry's NAME and TYPE, to tell the user which one
    std::wstring type;
    std::wstring message;
};

// What the list shows of one entry.
struct HistoryEntryLabels {
    std::wstring name;
    std::wstring type;
    std::wstring path;
};

struct RestoreResult {
    size_t restored = 0;
    std::vector<RestoreFailure> failures;
    // The history changed but could not be saved: the message. The change stays in memory.
    std::optional<std::wstring> saveError;
};

// The one message that tells the user how a restore went when something could not be done:
// how many entries came back, each entry that stayed (its NAME, TYPE and why; the first 20,
// then how many more), and a failed save. Empty when every checked entry came back and was
// saved: then nothing needs telling.
std::wstring RestoreSummaryText(const RestoreResult& result);

class RestoreHistory {
public:
    // The document and how to save it.
    RestoreHistory(XmlDocument& history, StoreSaver save);

    // NAME, TYPE and PATH of every entry, in document order.
    std::vector<HistoryEntryLabels> Entries() const;

    // Writes the chosen entries (indices into the history, any order; others are passed over)
    // back, from the last to the first, each record in document order, and takes each
    // restored entry out of the history. An entry whose record fails stops there (the records
    // before it stay written) and stays in the history; the restore goes on with the next
    // entry. Saves the history when it changed.
    RestoreResult Restore(const std::vector<size_t>& entries);
    // Every entry.
    RestoreResult RestoreAll();

    // Empties the history; saves when it had entries. Returns the save's error message, if any.
    std::optional<std::wstring> Clear();

private:
    XmlDocument& history_;
    StoreSaver save_;
};

}  // namespace kestrova
