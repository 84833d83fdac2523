#include "scan/error_list.h"

#include <windows.h>

#include <algorithm>
#include <stdexcept>

namespace kestrova {

int CompareErrorTypes(const std::wstring& a, const std::wstring& b) {
    // The comparison the list view's own sorting uses (as lstrcmpW): the user's locale,
    // letter case significant.
    const int result = CompareStringW(LOCALE_USER_DEFAULT, 0, a.c_str(), static_cast<int>(a.size()),
                                      b.c_str(), static_cast<int>(b.size()));
    return result == 0 ? a.compare(b) : result - CSTR_EQUAL;
}

void ErrorList::Add(ErrorRow row) {
    // Few distinct types exist (one per group), so a binary search over buckets is plenty.
    auto place = std::lower_bound(buckets_.begin(), buckets_.end(), row.type,
                                  [](const Bucket& bucket, const std::wstring& type) {
                                      return CompareErrorTypes(bucket.type, type) < 0;
                                  });
    if (place == buckets_.end() || CompareErrorTypes(place->type, row.type) != 0) {
        place = buckets_.insert(place, Bucket{row.type, {}});
    }
    place->rows.push_back(std::move(row));
    ++size_;
}

std::pair<size_t, size_t> ErrorList::Locate(size_t index) const {
    if (index >= size_) {
        throw std::out_of_range("error list index out of range");
    }
    for (size_t bucket = 0;; ++bucket) {
        const size_t count = buckets_[bucket].rows.size();
        if (index < count) {
            return {bucket, index};
        }
        index -= count;
    }
}

const ErrorRow& ErrorList::At(size_t index) const {
    const auto [bucket, offset] = Locate(index);
    return buckets_[bucket].rows[offset];
}

void ErrorList::SetChecked(size_t index, bool checked) {
    const auto [bucket, offset] = Locate(index);
    buckets_[bucket].rows[offset].checked = checked;
}

void ErrorList::SetAllChecked(bool checked) {
    for (Bucket& bucket : buckets_) {
        for (ErrorRow& row : bucket.rows) {
            row.checked = checked;
        }
    }
}

void ErrorList::Remove(size_t index) {
    const auto [bucket, offset] = Locate(index);
    std::vector<ErrorRow>& rows = buckets_[bucket].rows;
    rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(offset));
    if (rows.empty()) {
        buckets_.erase(buckets_.begin() + static_cast<std::ptrdiff_t>(bucket));
    }
    --size_;
}

void ErrorList::Remove(std::vector<size_t> indices) {
    std::sort(indices.begin(), indices.end());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
    if (!indices.empty() && indices.back() >= size_) {
        throw std::out_of_range("error list index out of range");
    }
    auto next = indices.begin();
    size_t first = 0;  // list index of the bucket's first row
    for (Bucket& bucket : buckets_) {
        const size_t end = first + bucket.rows.size();
        size_t kept = 0;
        for (size_t i = 0; i < bucket.rows.size(); ++i) {
            if (next != indices.end() && *next == first + i) {
                ++next;
                continue;
            }
            if (kept != i) {
                bucket.rows[kept] = std::move(bucket.rows[i]);
            }
            ++kept;
        }
        bucket.rows.resize(kept);
        first = end;
    }
    std::erase_if(buckets_, [](const Bucket& bucket) { return bucket.rows.empty(); });
    size_ -= indices.size();
}

void ErrorList::Clear() {
    buckets_.clear();
    size_ = 0;
}

}  // namespace kestrova
