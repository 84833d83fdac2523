// What a result list's order costs at 100,000 rows (a Drive Cleaner search's size): the first
// sort by path, the sort afresh after a search's next batch of rows, a sort by size, and each
// key press typed into the filter. The floor is the plainest sort the same rows allow: their
// paths copied and sorted by code units. Needs no display.
//
// Usage: row_order_benchmark [--rows N] [--runs N]
//   --rows N  rows in the list (default 100,000)
//   --runs N  timed rounds; the best of each figure is shown (default 3)
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "platform/list_model.h"
#include "platform/row_order.h"

namespace kestrova::bench {

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Rows shaped like the Drive Cleaner's: a path, a size text and its bytes.
class ResultRows final : public ListModel {
public:
    size_t RowCount() const override { return paths_.size(); }
    const std::wstring& CellText(size_t row, size_t column) const override {
        return column == 0 ? paths_.at(row) : column == 1 ? sizes_.at(row) : EmptyText();
    }
    std::optional<double> SortNumber(size_t row, size_t column) const override {
        return column == 1 ? std::optional<double>(bytes_.at(row)) : std::nullopt;
    }
    bool Checked(size_t) const override { return false; }
    void SetChecked(size_t, bool) override {}

    void Add(size_t n) {
        const size_t i = paths_.size();
        const unsigned mixed = static_cast<unsigned>(i * 2654435761u);
        paths_.push_back(L"C:\\Users\\someone\\AppData\\Local\\Temp\\folder" +
                         std::to_wstring(mixed % 997) + L"\\file" + std::to_wstring(mixed % n) +
                         L".tmp");
        bytes_.push_back(static_cast<double>(mixed % 10000000));
        sizes_.push_back(std::to_wstring(mixed % 10000000 / 1024) + L" KB");
        NotifyChanged();
    }

    std::vector<std::wstring> paths_;
    std::vector<std::wstring> sizes_;
    std::vector<double> bytes_;
};

struct Figures {
    double floor = 1e9;
    double firstSort = 1e9;
    double batchSort = 1e9;
    double sizeSort = 1e9;
    double worstKey = 1e9;
};

void Round(size_t rows, Figures& best) {
    ResultRows model;
    {
        ListModel::Batch batch(model);
        for (size_t i = 0; i + 1000 < rows; ++i) {
            model.Add(rows);
        }
    }

    Clock::time_point start = Clock::now();
    {
        std::vector<std::wstring> copies = model.paths_;
        std::vector<size_t> order(copies.size());
        for (size_t i = 0; i < order.size(); ++i) {
            order[i] = i;
        }
        std::stable_sort(order.begin(), order.end(),
                         [&copies](size_t a, size_t b) { return copies[a] < copies[b]; });
    }
    best.floor = std::min(best.floor, Milliseconds(start));

    RowOrder order(model, {0, 1});
    start = Clock::now();
    order.SortBy(0, false);
    best.firstSort = std::min(best.firstSort, Milliseconds(start));

    {
        ListModel::Batch batch(model);
        for (size_t i = 0; i < 1000; ++i) {
            model.Add(rows);
        }
    }
    start = Clock::now();
    order.Refresh();
    best.batchSort = std::min(best.batchSort, Milliseconds(start));

    start = Clock::now();
    order.SortBy(1, true);
    best.sizeSort = std::min(best.sizeSort, Milliseconds(start));

    double worst = 0;
    const std::wstring typed = L"FOLDER12\\file3";
    for (size_t length = 1; length <= typed.size(); ++length) {
        start = Clock::now();
        order.SetFilter(typed.substr(0, length));
        worst = std::max(worst, Milliseconds(start));
    }
    start = Clock::now();
    order.SetFilter(L"");
    worst = std::max(worst, Milliseconds(start));
    best.worstKey = std::min(best.worstKey, worst);
}

int Run(int argc, wchar_t** argv) {
    size_t rows = 100000;
    int runs = 3;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::wcscmp(argv[i], L"--rows") == 0) {
            rows = static_cast<size_t>(std::wcstoul(argv[i + 1], nullptr, 10));
        } else if (std::wcscmp(argv[i], L"--runs") == 0) {
            runs = static_cast<int>(std::wcstoul(argv[i + 1], nullptr, 10));
        }
    }
    rows = std::max<size_t>(rows, 2000);
    Figures best;
    for (int run = 0; run < runs; ++run) {
        Round(rows, best);
    }
    std::printf("rows %zu\n", rows);
    std::printf("floor: ordinal sort of the paths %.1f ms\n", best.floor);
    std::printf("first sort by path %.1f ms\n", best.firstSort);
    std::printf("sort afresh after a batch of 1,000 rows %.1f ms\n", best.batchSort);
    std::printf("sort by size, descending %.1f ms\n", best.sizeSort);
    std::printf("slowest filter key press %.1f ms\n", best.worstKey);
    std::printf("ratio %.2f\n", best.batchSort / best.floor);
    return 0;
}

}  // namespace

}  // namespace kestrova::bench

int wmain(int argc, wchar_t** argv) {
    return kestrova::bench::Run(argc, argv);
}
