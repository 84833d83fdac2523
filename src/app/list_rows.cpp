#include "app/list_rows.h"

#include "scan/scan_groups.h"

namespace kestrova {

void FillScanGroupRows(TextRows& rows) {
    ListModel::Batch batch(rows);
    rows.Clear();
    for (std::wstring_view caption : kScanGroupCaptions) {
        rows.Add(TextRow{{std::wstring(caption), L"0"}, true, 0});
    }
}

void FillIgnoreRows(const XmlDocument& ignoreList, TextRows& rows) {
    ListModel::Batch batch(rows);
    rows.Clear();
    // The scan's worker reads the same document: one lock for the whole walk.
    const auto lock = ignoreList.Lock();
    const XmlElement root = ignoreList.Root();
    const size_t count = root.ChildCount();
    for (size_t i = 0; i < count; ++i) {
        const XmlElement entry = root.Child(i);
        TextRow row;
        row.cells.push_back(entry.AttributeText(L"ROOT"));
        row.cells.push_back(entry.AttributeText(L"KEY"));
        row.cells.push_back(entry.AttributeText(L"VALUE"));
        rows.Add(std::move(row));
    }
}

}  // namespace kestrova
