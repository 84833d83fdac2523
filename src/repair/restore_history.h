#pragma once
// The Restore History section without its window: the rows of lvHistory (one per history
// entry: NAME, TYPE, PATH and a check box), writing checked entries back, clearing the
// history, and the Check All toggle. Row i always stands for child i of the history root.

#include <optional>
#include <string>
#include <vector>

#include "platform/list_model.h"
#include "platform/xml_document.h"
#include "repair/store_saver.h"

namespace kestrova {

inline constexpr wchar_t kHistoryCheckAllCaption[] = L"Ch&eck All";
inline constexpr wchar_t kHistoryUncheckAllCaption[] = L"Unch&eck All";

// An entry that could not be written back whole: it stays in the history.
struct RestoreFailure {
    std::wstring name;  // the entry's NAME and TYPE, to tell the user which one
    std::wstring type;
    std::wstring message;
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
    // The document, how to save it, and the rows the list view shows.
    RestoreHistory(XmlDocument& history, StoreSaver save, TextRows& rows);

    // Rebuilds the rows from the document: one unchecked row per entry, in document order.
    void Refresh();

    // Writes the checked entries back, from the last row to the first, each record in
    // document order, and takes each restored entry out of the history. An entry whose
    // record fails stops there (the records before it stay written) and stays in the
    // history; the restore goes on with the next entry. Saves the history when it changed,
    // then refreshes, so the rows show exactly the entries left.
    RestoreResult Restore();

    // Empties the rows and the history; saves when the history had entries. Returns the save's
    // error message, if any.
    std::optional<std::wstring> Clear();

    // "Ch&eck All": checks every row and shows "Unch&eck All"; pressed again, unchecks every
    // row and shows "Ch&eck All". Nothing happens while there are no rows; Refresh keeps the
    // caption.
    void ToggleCheckAll();
    const std::wstring& CheckAllCaption() const { return checkAllCaption_; }

private:
    XmlDocument& history_;
    StoreSaver save_;
    TextRows& rows_;
    std::wstring checkAllCaption_ = kHistoryCheckAllCaption;
};

}  // namespace kestrova
