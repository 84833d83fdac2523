#include "app/error_list_model.h"

namespace kestrova {

const std::wstring& ErrorListModel::CellText(size_t row, size_t column) const {
    const ErrorRow& r = rows_.At(row);
    switch (column) {
        case 0:
            return r.type;
        case 1:
            return r.keyName;
        case 2:
            return r.keyValue;
        case 3:
            return r.guessPath;
        default:
            return EmptyText();
    }
}

void ErrorListModel::SetChecked(size_t row, bool checked) {
    rows_.SetChecked(row, checked);
    NotifyMarksChanged();
}

void ErrorListModel::Add(ErrorRow row) {
    rows_.Add(std::move(row));
    NotifyChanged();
}

void ErrorListModel::Remove(size_t row) {
    rows_.Remove(row);
    NotifyChanged();
}

void ErrorListModel::Remove(std::vector<size_t> rows) {
    if (rows.empty()) {
        return;
    }
    rows_.Remove(std::move(rows));
    NotifyChanged();
}

void ErrorListModel::Clear() {
    rows_.Clear();
    NotifyChanged();
}

void ErrorListModel::SetAllChecked(bool checked) {
    rows_.SetAllChecked(checked);
    NotifyMarksChanged();
}

}  // namespace kestrova
