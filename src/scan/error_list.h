#pragma once
// The rows of the error list as plain data, for the window's virtual list view. Rows stay in
// ascending order of their Error Type by the system's locale-aware comparison; rows whose
// types compare equal keep the order in which they were added.
//
// Rows are kept in one bucket per distinct type, so appending is cheap however long the list
// grows, and an index is found by walking the few buckets. Not thread-safe: the window thread
// owns it.

#include <cstddef>
#include <string>
#include <vector>

#include "scan/error_row.h"

namespace kestrova {

// Compares two Error Types as the list orders them: negative, zero or positive.
int CompareErrorTypes(const std::wstring& a, const std::wstring& b);

class ErrorList {
public:
    size_t Size() const { return size_; }
    bool Empty() const { return size_ == 0; }

    // Inserts the row after every row whose type sorts before or equal to its own.
    void Add(ErrorRow row);
    // The row at a list index; throws std::out_of_range past the end.
    const ErrorRow& At(size_t index) const;
    void SetChecked(size_t index, bool checked);
    void SetAllChecked(bool checked);

    void Remove(size_t index);
    // Removes the rows at the given indices (any order, repeats allowed) in one pass.
    void Remove(std::vector<size_t> indices);
    void Clear();

private:
    struct Bucket {
        std::wstring type;  // the first type added; every row here compares equal to it
        std::vector<ErrorRow> rows;
    };
    // The bucket holding a list index and the row's place in it.
    std::pair<size_t, size_t> Locate(size_t index) const;

    std::vector<Bucket> buckets_;  // ascending by type
    size_t size_ = 0;
};

}  // namespace kestrova
