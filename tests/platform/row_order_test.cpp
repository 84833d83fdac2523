#include "platform/row_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "platform/csv.h"
#include "platform/error.h"
#include "platform/list_csv.h"
#include "support/temp_folder.h"

namespace kestrova {
namespace {

// Rows of text with, per cell, an optional number the column sorts by (sizes in bytes).
class SizedRows final : public ListModel {
public:
    struct Row {
        std::vector<std::wstring> cells;
        std::vector<std::optional<double>> numbers;
    };

    size_t RowCount() const override { return rows_.size(); }
    const std::wstring& CellText(size_t row, size_t column) const override {
        return column < rows_.at(row).cells.size() ? rows_.at(row).cells[column] : EmptyText();
    }
    std::optional<double> SortNumber(size_t row, size_t column) const override {
        const Row& r = rows_.at(row);
        return column < r.numbers.size() ? r.numbers[column] : std::nullopt;
    }
    bool Checked(size_t row) const override { return checked_.at(row); }
    void SetChecked(size_t row, bool checked) override {
        checked_.at(row) = checked;
        NotifyMarksChanged();
    }

    void Add(Row row) {
        rows_.push_back(std::move(row));
        checked_.push_back(false);
        NotifyChanged();
    }
    void SetCell(size_t row, size_t column, std::wstring text) {
        rows_.at(row).cells.at(column) = std::move(text);
        NotifyChanged();
    }
    void Remove(size_t row) {
        rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(row));
        checked_.erase(checked_.begin() + static_cast<std::ptrdiff_t>(row));
        NotifyChanged();
    }

private:
    std::vector<Row> rows_;
    std::vector<bool> checked_;
};

// Column 0 of each shown row, in the order shown.
std::vector<std::wstring> Captions(const SizedRows& rows, const RowOrder& order) {
    std::vector<std::wstring> captions;
    for (size_t row : order.ShownRows()) {
        captions.push_back(rows.CellText(row, 0));
    }
    return captions;
}

using Texts = std::vector<std::wstring>;

TEST(RowOrderTest, SortsTextsNumbersAndSizesEitherWayKeepingEqualRowsInModelOrder) {
    SizedRows rows;
    // caption, a text with numbers in it, a size shown as text with its bytes beside it
    const struct {
        const wchar_t* caption;
        const wchar_t* file;
        const wchar_t* size;
        double bytes;
    } data[] = {
        {L"b1", L"file10.log", L"1.5 MB", 1572864},   {L"a2", L"File9.log", L"900 KB", 921600},
        {L"B3", L"file1.log", L"12 bytes", 12},       {L"a4", L"file9.log", L"2 GB", 2147483648.0},
        {L"c5", L"\u00e9t\u00e9.log", L"0 bytes", 0},
    };
    for (const auto& d : data) {
        rows.Add({{d.caption, d.file, d.size}, {std::nullopt, std::nullopt, d.bytes}});
    }
    RowOrder order(rows, {0, 1, 2});
    EXPECT_FALSE(order.Active());
    EXPECT_EQ(Captions(rows, order), (Texts{L"b1", L"a2", L"B3", L"a4", L"c5"}));

    const struct {
        size_t column;
        bool descending;
        Texts captions;
    } cases[] = {
        // Case is ignored: "b1" and "B3" compare by their digits.
        {0, false, {L"a2", L"a4", L"b1", L"B3", L"c5"}},
        {0, true, {L"c5", L"B3", L"b1", L"a4", L"a2"}},
        // Digits by value; "File9" and "file9" are equal and keep the model's order both ways;
        // an accented letter sorts with its base letter ("é" before "f"), not after "z".
        {1, false, {L"c5", L"B3", L"a2", L"a4", L"b1"}},
        {1, true, {L"b1", L"a2", L"a4", L"B3", L"c5"}},
        // Sizes by bytes, not by their text.
        {2, false, {L"c5", L"B3", L"a2", L"b1", L"a4"}},
        {2, true, {L"a4", L"b1", L"a2", L"B3", L"c5"}},
    };
    for (const auto& c : cases) {
        order.SortBy(c.column, c.descending);
        EXPECT_TRUE(order.Active());
        EXPECT_EQ(order.SortColumn(), c.column);
        EXPECT_EQ(order.Descending(), c.descending);
        EXPECT_EQ(Captions(rows, order), c.captions) << c.column << " " << c.descending;
    }

    order.SortBy(RowOrder::kNoColumn, true);
    EXPECT_FALSE(order.Active());
    EXPECT_FALSE(order.Descending());
    EXPECT_EQ(Captions(rows, order), (Texts{L"b1", L"a2", L"B3", L"a4", L"c5"}));
}

TEST(RowOrderTest, FilterNarrowsToSearchedColumnsAndMapsRowsBothWays) {
    SizedRows rows;
    rows.Add({{L"Alpha", L"C:\\Tools\\alpha.exe", L"secret"}, {}});
    rows.Add({{L"Beta", L"C:\\Windows\\beta.exe", L"secret"}, {}});
    rows.Add({{L"gamma", L"D:\\TOOLS\\g.exe", L""}, {}});
    rows.Add({{L"\u00c9T\u00c9", L"", L""}, {}});
    RowOrder order(rows, {0, 1});  // column 2 is not searched

    const struct {
        const wchar_t* filter;
        Texts captions;
    } cases[] = {
        {L"tools", {L"Alpha", L"gamma"}},        // case-insensitive, in any searched column
        {L"tools\\a", {L"Alpha"}},               // typing more narrows
        {L"tools", {L"Alpha", L"gamma"}},        // and deleting widens again
        {L"secret", {}},                         // an unsearched column is not looked at
        {L"\u00e9t\u00e9", {L"\u00c9T\u00c9"}},  // beyond ASCII too
        {L"A", {L"Alpha", L"Beta", L"gamma"}},
        {L"", {L"Alpha", L"Beta", L"gamma", L"\u00c9T\u00c9"}},
    };
    for (const auto& c : cases) {
        order.SetFilter(c.filter);
        EXPECT_EQ(order.Filter(), c.filter);
        EXPECT_EQ(Captions(rows, order), c.captions) << c.filter;
        EXPECT_EQ(order.Count(), c.captions.size());
    }

    // Filtered and sorted: shown index and model row map onto each other.
    order.SetFilter(L"a");
    order.SortBy(0, true);
    EXPECT_EQ(Captions(rows, order), (Texts{L"gamma", L"Beta", L"Alpha"}));
    EXPECT_EQ(order.ModelRow(0), 2u);
    EXPECT_EQ(order.ShownIndex(0), std::optional<size_t>(2));
    EXPECT_EQ(order.ShownIndex(2), std::optional<size_t>(0));
    EXPECT_EQ(order.ShownIndex(3), std::nullopt) << "hidden by the filter";
    EXPECT_EQ(order.ShownIndex(9), std::nullopt);
}

TEST(RowOrderTest, FollowsRowsAddedChangedAndRemovedButNotCheckMarks) {
    SizedRows rows;
    rows.Add({{L"m"}, {}});
    rows.Add({{L"c"}, {}});
    RowOrder order(rows, {0});
    order.SortBy(0, false);
    order.SetFilter(L"");
    EXPECT_TRUE(order.UpToDate());

    const size_t revision = rows.Revision();
    rows.SetChecked(0, true);
    EXPECT_EQ(rows.Revision(), revision) << "a mark changes no order";
    EXPECT_TRUE(order.UpToDate());

    {
        // A worker's batch: several rows, one refresh.
        ListModel::Batch batch(rows);
        rows.Add({{L"a"}, {}});
        rows.Add({{L"x"}, {}});
        rows.Add({{L"d"}, {}});
    }
    EXPECT_FALSE(order.UpToDate());
    order.Refresh();
    EXPECT_EQ(Captions(rows, order), (Texts{L"a", L"c", L"d", L"m", L"x"}));

    rows.SetCell(0, 0, L"b");  // "m" becomes "b": its sort key is made afresh
    order.Refresh();
    EXPECT_EQ(Captions(rows, order), (Texts{L"a", L"b", L"c", L"d", L"x"}));

    order.SetFilter(L"x");
    rows.Remove(1);  // "c"
    order.Refresh();
    EXPECT_EQ(Captions(rows, order), (Texts{L"x"}));
    EXPECT_EQ(order.ShownIndex(2), std::optional<size_t>(0)) << "x moved up to model row 2";
    order.SetFilter(L"");
    EXPECT_EQ(Captions(rows, order), (Texts{L"a", L"b", L"d", L"x"}));
}

TEST(RowOrderTest, HundredThousandRowsAndABatchMoreSortAndFilterLikeAPlainSort) {
    SizedRows rows;
    std::mt19937 random(7);
    std::vector<double> bytes;
    {
        ListModel::Batch batch(rows);
        for (int i = 0; i < 100000; ++i) {
            const double size = static_cast<double>(random() % 5000);
            bytes.push_back(size);
            rows.Add({{L"C:\\data\\file" + std::to_wstring(random() % 100000) + L".tmp",
                       std::to_wstring(static_cast<long long>(size)) + L" KB"},
                      {std::nullopt, size}});
        }
    }
    RowOrder order(rows, {0, 1});
    order.SortBy(1, true);
    // A search's next batch, whose sizes tie with rows sorted before it.
    {
        ListModel::Batch batch(rows);
        for (int i = 0; i < 1000; ++i) {
            const double size = static_cast<double>(random() % 5000);
            bytes.push_back(size);
            rows.Add({{L"C:\\data\\late" + std::to_wstring(i) + L".tmp", L"late"},
                      {std::nullopt, size}});
        }
    }
    order.Refresh();
    ASSERT_EQ(order.Count(), 101000u);
    std::vector<size_t> expected(101000);
    for (size_t i = 0; i < expected.size(); ++i) {
        expected[i] = i;
    }
    std::stable_sort(expected.begin(), expected.end(),
                     [&bytes](size_t a, size_t b) { return bytes[a] > bytes[b]; });
    EXPECT_EQ(order.ShownRows(), expected);

    // Typing "123" one key at a time ends where filtering at once does.
    for (const wchar_t* filter : {L"1", L"12", L"123"}) {
        order.SetFilter(filter);
    }
    std::vector<size_t> matching;
    for (size_t row : expected) {
        if (rows.CellText(row, 0).find(L"123") != std::wstring::npos ||
            rows.CellText(row, 1).find(L"123") != std::wstring::npos) {
            matching.push_back(row);
        }
    }
    EXPECT_FALSE(matching.empty());
    EXPECT_EQ(order.ShownRows(), matching);
}

TEST(ListCsvTest, WritesTheGivenColumnsAndRowsInTheirOrder) {
    SizedRows rows;
    rows.Add({{L"Alpha", L"a, \"quoted\"", L"hidden"}, {}});
    rows.Add({{L"\u00c9t\u00e9", L"two", L"hidden"}, {}});
    const std::string csv =
        ListCsv(rows, {{0, L"&Name"}, {1, L"Fish && &Chips"}}, std::vector<size_t>{1, 0});
    EXPECT_EQ(csv, std::string(kCsvUtf8Mark) + "Name,Fish & Chips\r\n" +
                       "\xC3\x89t\xC3\xA9,two\r\n" + "Alpha,\"a, \"\"quoted\"\"\"\r\n");
    EXPECT_EQ(ListCsv(rows, {{0, L"Name"}}, {}), std::string(kCsvUtf8Mark) + "Name\r\n");
}

TEST(ListCsvTest, WritesTheFileOrTellsWhyNot) {
    test::TempFolder temp;
    const std::wstring path = temp / L"list.csv";
    test::WriteFileBytes(path, "an older, longer file that must not show through");
    WriteCsvFile(path, "a,b\r\n");
    EXPECT_EQ(test::ReadFileBytes(path), "a,b\r\n");

    const std::wstring missing = temp / L"no such folder\\list.csv";
    try {
        WriteCsvFile(missing, "a\r\n");
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_NE(error.message().find(missing), std::wstring::npos) << error.what();
    }
}

}  // namespace
}  // namespace kestrova
