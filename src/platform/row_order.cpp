#include "platform/row_order.h"

#include <windows.h>

#include <algorithm>

namespace kestrova {

namespace {

// Each UTF-16 unit's lower case, made once by the system: folding a cell is then a table look-up
// per character, which keeps a filter over a hundred thousand rows quick per key press.
const std::vector<wchar_t>& LowerCaseTable() {
    static const std::vector<wchar_t> table = [] {
        std::vector<wchar_t> units(0x10000);
        for (size_t i = 0; i < units.size(); ++i) {
            units[i] = static_cast<wchar_t>(i);
        }
        // Surrogates are left as they are: alone they are no characters to fold.
        CharLowerBuffW(units.data(), 0xD800);
        CharLowerBuffW(units.data() + 0xE000, 0x10000 - 0xE000);
        return units;
    }();
    return table;
}

std::string SortKeyWith(const std::wstring& text, DWORD flags) {
    const int size = LCMapStringEx(LOCALE_NAME_USER_DEFAULT, LCMAP_SORTKEY | flags, text.c_str(),
                                   static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr, 0);
    if (size <= 0) {
        return {};
    }
    std::string key(static_cast<size_t>(size), '\0');
    LCMapStringEx(LOCALE_NAME_USER_DEFAULT, LCMAP_SORTKEY | flags, text.c_str(),
                  static_cast<int>(text.size()), reinterpret_cast<LPWSTR>(key.data()), size,
                  nullptr, nullptr, 0);
    return key;
}

}  // namespace

std::string LocaleSortKey(const std::wstring& text) {
    if (text.empty()) {
        return {};
    }
    std::string key = SortKeyWith(text, NORM_IGNORECASE | SORT_DIGITSASNUMBERS);
    if (key.empty()) {
        // Systems before Windows 7 know no digits-as-numbers sort keys.
        key = SortKeyWith(text, NORM_IGNORECASE);
    }
    return key;
}

std::wstring FoldCase(std::wstring text) {
    const std::vector<wchar_t>& lower = LowerCaseTable();
    for (wchar_t& c : text) {
        c = lower[static_cast<size_t>(c) & 0xFFFF];
    }
    return text;
}

RowOrder::RowOrder(const ListModel& model, std::vector<size_t> searched)
    : model_(model), searched_(std::move(searched)), revision_(model.Revision()) {}

void RowOrder::SortBy(size_t column, bool descending) {
    column_ = column;
    descending_ = column != kNoColumn && descending;
    Apply(Step::KeepFilter);
}

void RowOrder::SetFilter(const std::wstring& text) {
    std::wstring folded = FoldCase(text);
    // Typing more narrows what the filter let through before; other changes look at every row.
    const bool narrowing = !folded_.empty() && folded.find(folded_) != std::wstring::npos;
    filter_ = text;
    folded_ = std::move(folded);
    Apply(narrowing ? Step::Narrow : Step::FilterAll);
}

void RowOrder::Refresh() {
    Apply(Step::FilterAll);
}

std::optional<size_t> RowOrder::ShownIndex(size_t modelRow) const {
    if (!Active()) {
        return modelRow < model_.RowCount() ? std::optional<size_t>(modelRow) : std::nullopt;
    }
    if (modelRow >= where_.size() || where_[modelRow] == 0) {
        return std::nullopt;
    }
    return where_[modelRow] - 1;
}

std::vector<size_t> RowOrder::ShownRows() const {
    if (Active()) {
        return shown_;
    }
    std::vector<size_t> rows(model_.RowCount());
    for (size_t i = 0; i < rows.size(); ++i) {
        rows[i] = i;
    }
    return rows;
}

bool RowOrder::Matches(size_t row) const {
    const std::vector<wchar_t>& lower = LowerCaseTable();
    const auto same = [&lower](wchar_t cell, wchar_t wanted) {
        return lower[static_cast<size_t>(cell) & 0xFFFF] == wanted;
    };
    for (size_t column : searched_) {
        const std::wstring& text = model_.CellText(row, column);
        if (std::search(text.begin(), text.end(), folded_.begin(), folded_.end(), same) !=
            text.end()) {
            return true;
        }
    }
    return false;
}

void RowOrder::Apply(Step step) {
    if (revision_ != model_.Revision()) {
        revision_ = model_.Revision();
        passedValid_ = false;
    }
    if (!Active()) {
        passed_.clear();
        shown_.clear();
        where_.clear();
        passedValid_ = false;
        return;
    }
    const size_t count = model_.RowCount();
    if (passedValid_ && step == Step::Narrow) {
        std::erase_if(passed_, [this](size_t row) { return !Matches(row); });
    } else if (!passedValid_ || step == Step::FilterAll) {
        passed_.clear();
        passed_.reserve(count);
        for (size_t row = 0; row < count; ++row) {
            if (folded_.empty() || Matches(row)) {
                passed_.push_back(row);
            }
        }
    }
    passedValid_ = true;

    if (column_ == kNoColumn) {
        shown_ = passed_;
        sortedColumn_ = kNoColumn;
    } else {
        Sort();
    }
    where_.assign(count, 0);
    for (size_t i = 0; i < shown_.size(); ++i) {
        where_[shown_[i]] = i + 1;
    }
}

bool RowOrder::Before(size_t a, size_t b) const {
    const Key& x = keys_[descending_ ? b : a];
    const Key& y = keys_[descending_ ? a : b];
    if (x.number && y.number) {
        if (*x.number != *y.number) {
            return *x.number < *y.number;
        }
    } else if (x.number || y.number) {
        return x.number.has_value();  // numbers before texts
    } else if (const int order = x.bytes.compare(y.bytes); order != 0) {
        return order < 0;
    }
    return a < b;  // equal rows keep the model's order, either way
}

void RowOrder::Sort() {
    const bool keysKept = UpdateKeys();
    const auto before = [this](size_t a, size_t b) { return Before(a, b); };
    if (!keysKept || sortedColumn_ != column_ || sortedDescending_ != descending_) {
        shown_ = passed_;
        std::sort(shown_.begin(), shown_.end(), before);
    } else {
        // The rows shown before are still in order: only the others (a search's next batch)
        // are sorted, then merged in.
        const size_t count = model_.RowCount();
        std::vector<char> passes(count, 0);
        for (size_t row : passed_) {
            passes[row] = 1;
        }
        std::vector<char> kept(count, 0);
        std::erase_if(shown_, [&](size_t row) { return row >= count || !passes[row]; });
        for (size_t row : shown_) {
            kept[row] = 1;
        }
        std::vector<size_t> added;
        for (size_t row : passed_) {
            if (!kept[row]) {
                added.push_back(row);
            }
        }
        std::sort(added.begin(), added.end(), before);
        std::vector<size_t> merged(shown_.size() + added.size());
        std::merge(shown_.begin(), shown_.end(), added.begin(), added.end(), merged.begin(),
                   before);
        shown_ = std::move(merged);
    }
    sortedColumn_ = column_;
    sortedDescending_ = descending_;
}

bool RowOrder::UpdateKeys() {
    if (keysColumn_ == column_ && keysRevision_ == model_.Revision() &&
        keys_.size() == model_.RowCount()) {
        return true;
    }
    bool kept = keysColumn_ == column_;
    if (!kept) {
        keys_.clear();
        keysColumn_ = column_;
    }
    keysRevision_ = model_.Revision();
    keys_.resize(model_.RowCount());
    for (size_t row = 0; row < keys_.size(); ++row) {
        Key& key = keys_[row];
        const std::optional<double> number = model_.SortNumber(row, column_);
        if (key.made && number != key.number) {
            kept = false;
        }
        key.number = number;
        if (number) {
            key.made = true;
            continue;  // the text is not looked at
        }
        const std::wstring& text = model_.CellText(row, column_);
        // Rows added since the last sort (a search's next batch) make the only new keys.
        if (!key.made || key.text != text) {
            kept = kept && !key.made;
            key.text = text;
            key.bytes = LocaleSortKey(text);
            key.made = true;
        }
    }
    return kept;
}

}  // namespace kestrova
