#pragma once
// The rows of the File Extensions Manager's list: one association each, shown as "File
// Extension", "Description", "File Path", "File Icon" (the file type is kept, not shown).
// The rows have no check marks.

#include <vector>

#include "platform/list_model.h"
#include "tools/file_association_store.h"

namespace kestrova {

class AssociationRows final : public ListModel {
public:
    size_t RowCount() const override { return rows_.size(); }
    const std::wstring& CellText(size_t row, size_t column) const override;
    bool Checked(size_t /*row*/) const override { return false; }
    void SetChecked(size_t /*row*/, bool /*checked*/) override {}

    const std::vector<TExtInfo>& Rows() const { return rows_; }
    const TExtInfo& At(size_t row) const { return rows_.at(row); }
    void Add(TExtInfo info);
    void Remove(size_t row);
    void Clear();
    // The "File Path" and "File Icon" cells of a row.
    void SetCommand(size_t row, std::wstring filePath, std::wstring fileIcon);

private:
    std::vector<TExtInfo> rows_;
};

}  // namespace kestrova
