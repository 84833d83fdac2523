#include "repair/entry_rows.h"

namespace kestrova {

void FillEntryRows(const XmlDocument& document, TextRows& rows, const EntryCells& cellsOf) {
    const auto lock = document.Lock();
    ListModel::Batch batch(rows);
    rows.Clear();
    const XmlElement root = document.Root();
    const size_t count = root.Valid() ? root.ChildCount() : 0;
    for (size_t i = 0; i < count; ++i) {
        TextRow row;
        row.cells = cellsOf(root.Child(i));
        rows.Add(std::move(row));
    }
}

}  // namespace kestrova
