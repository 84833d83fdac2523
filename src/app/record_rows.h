#pragma once
// A list model over an engine's own records: the rows are the records as the engine gave them,
// with a check mark each beside them, and a function that tells a record's text per column.
// Window thread only.

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/list_model.h"

namespace kestrova {

template <class Record>
class RecordRows final : public ListModel {
public:
    // The text of a record's column (column 0 is the caption); it lives as long as the record.
    using CellOf = const std::wstring& (*)(const Record& record, size_t column);

    // The number a record's column sorts by (a size, a time), or none: by its text.
    using NumberOf = std::optional<double> (*)(const Record& record, size_t column);

    explicit RecordRows(CellOf cellOf, NumberOf numberOf = nullptr)
        : cellOf_(cellOf), numberOf_(numberOf) {}

    size_t RowCount() const override { return records_.size(); }
    const std::wstring& CellText(size_t row, size_t column) const override {
        return cellOf_(records_.at(row), column);
    }
    std::optional<double> SortNumber(size_t row, size_t column) const override {
        return numberOf_ ? numberOf_(records_.at(row), column) : std::nullopt;
    }
    bool Checked(size_t row) const override { return checked_.at(row) != 0; }
    void SetChecked(size_t row, bool checked) override {
        if (Checked(row) != checked) {
            checked_[row] = checked;
            NotifyMarksChanged();
        }
    }

    const Record& At(size_t row) const { return records_.at(row); }
    const std::vector<Record>& Records() const { return records_; }

    // Appends an unchecked row.
    void Add(Record record) {
        records_.push_back(std::move(record));
        checked_.push_back(0);
        NotifyChanged();
    }
    // Every row afresh; checks[i] marks record i (unchecked where it gives none).
    void Assign(std::vector<Record> records, const std::vector<bool>& checks = {}) {
        records_ = std::move(records);
        checked_.assign(records_.size(), 0);
        for (size_t i = 0; i < checks.size() && i < checked_.size(); ++i) {
            checked_[i] = checks[i];
        }
        NotifyChanged();
    }
    // Hands the records over and leaves the list empty, without a notice: the caller gives
    // them back with Assign.
    std::vector<Record> Release() {
        checked_.clear();
        return std::exchange(records_, {});
    }
    void Clear() { Assign({}); }
    // Removes the rows at these indices (any order) with one notice.
    void Remove(const std::vector<size_t>& rows) {
        if (rows.empty()) {
            return;
        }
        std::vector<char> dropped(records_.size(), 0);
        for (size_t row : rows) {
            dropped.at(row) = 1;
        }
        size_t kept = 0;
        for (size_t i = 0; i < records_.size(); ++i) {
            if (!dropped[i]) {
                if (kept != i) {
                    records_[kept] = std::move(records_[i]);
                    checked_[kept] = checked_[i];
                }
                ++kept;
            }
        }
        records_.erase(records_.begin() + static_cast<std::ptrdiff_t>(kept), records_.end());
        checked_.resize(kept);
        NotifyChanged();
    }
    void SetAllChecked(bool checked) {
        checked_.assign(records_.size(), checked);
        NotifyMarksChanged();
    }

private:
    CellOf cellOf_;
    NumberOf numberOf_;
    std::vector<Record> records_;
    std::vector<char> checked_;  // one per record
};

}  // namespace kestrova
