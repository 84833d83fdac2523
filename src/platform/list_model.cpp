#include "platform/list_model.h"

#include <windows.h>

#include <algorithm>
#include <stdexcept>

namespace kestrova {

void ListModel::NotifyChanged() {
    ++revision_;
    NotifyMarksChanged();
}

void ListModel::NotifyMarksChanged() {
    if (batchDepth_ > 0) {
        pending_ = true;
        return;
    }
    if (listener_) {
        listener_();
    }
}

ListModel::Batch::~Batch() {
    if (--model_.batchDepth_ == 0 && model_.pending_) {
        model_.pending_ = false;
        model_.NotifyMarksChanged();
    }
}

const std::wstring& ListModel::EmptyText() {
    static const std::wstring empty;
    return empty;
}

bool LocaleLess(const std::wstring& a, const std::wstring& b) {
    return CompareStringW(LOCALE_USER_DEFAULT, 0, a.c_str(), static_cast<int>(a.size()), b.c_str(),
                          static_cast<int>(b.size())) == CSTR_LESS_THAN;
}

const std::wstring& TextRows::CellText(size_t row, size_t column) const {
    const TextRow& r = rows_.at(row);
    return column < r.cells.size() ? r.cells[column] : EmptyText();
}

void TextRows::SetChecked(size_t row, bool checked) {
    TextRow& r = rows_.at(row);
    if (r.checked != checked) {
        r.checked = checked;
        NotifyMarksChanged();
    }
}

size_t TextRows::SortedPlace(const std::wstring& caption) const {
    if (!less_) {
        return rows_.size();
    }
    // After every row that does not sort after the caption: equal captions keep their order.
    const auto place = std::upper_bound(
        rows_.begin(), rows_.end(), caption, [this](const std::wstring& text, const TextRow& row) {
            return less_(text, row.cells.empty() ? EmptyText() : row.cells.front());
        });
    return static_cast<size_t>(place - rows_.begin());
}

size_t TextRows::Add(TextRow row) {
    const size_t place = SortedPlace(row.cells.empty() ? EmptyText() : row.cells.front());
    rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(place), std::move(row));
    NotifyChanged();
    return place;
}

size_t TextRows::SetCell(size_t row, size_t column, std::wstring text) {
    TextRow& r = rows_.at(row);
    if (r.cells.size() <= column) {
        r.cells.resize(column + 1);
    }
    r.cells[column] = std::move(text);
    if (column == 0 && less_) {
        TextRow moved = std::move(r);
        rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(row));
        return Add(std::move(moved));
    }
    NotifyChanged();
    return row;
}

void TextRows::Remove(size_t row) {
    if (row >= rows_.size()) {
        throw std::out_of_range("list row out of range");
    }
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(row));
    NotifyChanged();
}

void TextRows::Clear() {
    if (!rows_.empty()) {
        rows_.clear();
        NotifyChanged();
    }
}

void TextRows::SetAllChecked(bool checked) {
    for (TextRow& r : rows_) {
        r.checked = checked;
    }
    NotifyMarksChanged();
}

std::vector<size_t> ListModel::CheckedRows() const {
    std::vector<size_t> rows;
    for (size_t i = 0; i < RowCount(); ++i) {
        if (Checked(i)) {
            rows.push_back(i);
        }
    }
    return rows;
}

size_t TextRows::CheckedCount() const {
    return static_cast<size_t>(
        std::count_if(rows_.begin(), rows_.end(), [](const TextRow& r) { return r.checked; }));
}

}  // namespace kestrova
