#pragma once
// The order in which a list shows its model's rows: sorted by one column (either way) and
// narrowed by a filter text, or the model's own order. The rows stay in the model, once; this
// holds only model indices, so whatever acts on a model's rows (its check marks) is untouched
// by what the user sorts or hides. Window thread only.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/list_model.h"

namespace kestrova {

class RowOrder {
public:
    static constexpr size_t kNoColumn = static_cast<size_t>(-1);

    // searched: the columns the filter looks in.
    RowOrder(const ListModel& model, std::vector<size_t> searched);

    // Sorts by a column, ascending or descending; rows that compare equal keep the model's
    // order. kNoColumn returns to the model's order.
    void SortBy(size_t column, bool descending);
    // Shows only the rows with text in a searched column (case-insensitive); "" shows all.
    void SetFilter(const std::wstring& text);
    // Derives the order afresh after the model's rows changed.
    void Refresh();
    // False once the model's rows changed since the order was derived.
    bool UpToDate() const { return revision_ == model_.Revision(); }

    size_t SortColumn() const { return column_; }
    bool Descending() const { return descending_; }
    const std::wstring& Filter() const { return filter_; }
    // True when the order differs from the model's (sorted or filtered).
    bool Active() const { return column_ != kNoColumn || !filter_.empty(); }

    // The number of rows shown.
    size_t Count() const { return Active() ? shown_.size() : model_.RowCount(); }
    // The model index of a shown row.
    size_t ModelRow(size_t shown) const { return Active() ? shown_.at(shown) : shown; }
    // Where a model row is shown, or nothing when the filter hides it.
    std::optional<size_t> ShownIndex(size_t modelRow) const;
    // The model indices of the shown rows, in the order shown.
    std::vector<size_t> ShownRows() const;

private:
    enum class Step { FilterAll, Narrow, KeepFilter };
    struct Key {
        bool made = false;
        std::optional<double> number;
        std::wstring text;  // the cell the bytes were made from
        std::string bytes;  // the text's sort key in the user's locale
    };

    void Apply(Step step);
    // Sorts the rows the filter let through into shown_.
    void Sort();
    // True when a shows before b: by key, then by model index.
    bool Before(size_t a, size_t b) const;
    // Makes the keys of column_ for every row; false when a key made before changed.
    bool UpdateKeys();
    bool Matches(size_t row) const;

    const ListModel& model_;
    std::vector<size_t> searched_;
    size_t column_ = kNoColumn;
    bool descending_ = false;
    std::wstring filter_;
    std::wstring folded_;         // the filter in lower case
    std::vector<size_t> passed_;  // rows the filter lets through, in model order
    bool passedValid_ = false;
    std::vector<size_t> shown_;        // passed_ in the order shown
    size_t sortedColumn_ = kNoColumn;  // what shown_ was last sorted by
    bool sortedDescending_ = false;
    std::vector<size_t> where_;  // model row -> shown index + 1; 0 for hidden rows
    std::vector<Key> keys_;      // per model row, for column keysColumn_
    size_t keysColumn_ = kNoColumn;
    size_t keysRevision_ = 0;
    size_t revision_ = 0;
};

// The text's sort key for the user's locale: case ignored, digits compared as numbers.
std::string LocaleSortKey(const std::wstring& text);

// A text in lower case, as the filter compares texts.
std::wstring FoldCase(std::wstring text);

}  // namespace kestrova
