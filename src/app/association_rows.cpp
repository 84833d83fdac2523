#include "app/association_rows.h"

#include "tools/association_search.h"

namespace kestrova {

const std::wstring& AssociationRows::CellText(size_t row, size_t column) const {
    // The columns are the search's fields, in the same order.
    if (column > static_cast<size_t>(AssociationSearchField::Icon)) {
        return EmptyText();
    }
    return AssociationFieldText(rows_.at(row), static_cast<AssociationSearchField>(column));
}

void AssociationRows::Add(TExtInfo info) {
    rows_.push_back(std::move(info));
    NotifyChanged();
}

void AssociationRows::Remove(size_t row) {
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(row));
    NotifyChanged();
}

void AssociationRows::Clear() {
    rows_.clear();
    NotifyChanged();
}

void AssociationRows::SetCommand(size_t row, std::wstring filePath, std::wstring fileIcon) {
    TExtInfo& info = rows_.at(row);
    info.filePath = std::move(filePath);
    info.fileIcon = std::move(fileIcon);
    NotifyChanged();
}

}  // namespace kestrova
