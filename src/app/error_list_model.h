#pragma once
// The error list as the list view shows it: the scan's ErrorList with its four columns
// ("Error Type", "Key Name", "Key Value", "Guess Path"), check marks and images. Changes go
// through here so the view hears of them.

#include "platform/list_model.h"
#include "scan/error_list.h"

namespace kestrova {

class ErrorListModel final : public ListModel {
public:
    size_t RowCount() const override { return rows_.Size(); }
    const std::wstring& CellText(size_t row, size_t column) const override;
    bool Checked(size_t row) const override { return rows_.At(row).checked; }
    void SetChecked(size_t row, bool checked) override;
    int Image(size_t row) const override { return rows_.At(row).image; }

    const ErrorList& Rows() const { return rows_; }
    const ErrorRow& At(size_t row) const { return rows_.At(row); }
    void Add(ErrorRow row);
    void Remove(size_t row);
    // Removes the rows at the given indices (any order) with one notice to the view.
    void Remove(std::vector<size_t> rows);
    void Clear();
    void SetAllChecked(bool checked);

private:
    ErrorList rows_;
};

}  // namespace kestrova
