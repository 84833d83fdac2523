#include "platform/list_model.h"

#include <gtest/gtest.h>

#include <functional>

namespace kestrova {
namespace {

TEST(TextRowsTest, SortedRowsKeepEqualCaptionsInTheOrderAdded) {
    TextRows rows(LocaleLess);
    int notices = 0;
    rows.SetChangeListener([&notices] { ++notices; });
    rows.Add(TextRow{{L"Uninstall", L"1"}});
    rows.Add(TextRow{{L"CLSID", L"2"}});
    rows.Add(TextRow{{L"uninstall", L"3"}});
    rows.Add(TextRow{{L"CLSID", L"4"}});
    rows.Add(TextRow{{L"Application", L"5"}});
    EXPECT_EQ(notices, 5);
    // Locale order puts letters before case; rows of one caption keep their order.
    std::vector<std::wstring> order;
    for (size_t i = 0; i < rows.RowCount(); ++i) {
        order.push_back(rows.CellText(i, 1));
    }
    EXPECT_EQ(order, (std::vector<std::wstring>{L"5", L"2", L"4", L"3", L"1"}));

    // A new caption moves the row to its place.
    EXPECT_EQ(rows.SetCell(0, 0, L"Zebra"), 4u);
    EXPECT_EQ(rows.CellText(4, 1), L"5");
    EXPECT_EQ(rows.CellText(4, 7), L"");
}

TEST(TextRowsTest, BatchSendsOneNoticeAtItsEnd) {
    TextRows rows;
    int notices = 0;
    rows.SetChangeListener([&notices] { ++notices; });
    {
        ListModel::Batch outer(rows);
        {
            ListModel::Batch inner(rows);
            for (int i = 0; i < 1000; ++i) {
                rows.Add(TextRow{{std::to_wstring(i)}});
            }
        }
        rows.SetAllChecked(true);
        EXPECT_EQ(notices, 0);
    }
    EXPECT_EQ(notices, 1);
    EXPECT_EQ(rows.CheckedCount(), 1000u);
}

// A view sorts again only when the revision moved: marks are told, but move no revision.
TEST(TextRowsTest, RowChangesMoveTheRevisionAndMarksDoNot) {
    TextRows rows;
    int notices = 0;
    rows.SetChangeListener([&notices] { ++notices; });
    rows.Add(TextRow{{L"a"}});
    rows.Add(TextRow{{L"b"}});
    const struct {
        const char* change;
        std::function<void()> apply;
        bool rowsChanged;
    } cases[] = {
        {"SetChecked", [&rows] { rows.SetChecked(0, true); }, false},
        {"SetAllChecked", [&rows] { rows.SetAllChecked(false); }, false},
        {"SetCell", [&rows] { rows.SetCell(1, 1, L"x"); }, true},
        {"Add", [&rows] { rows.Add(TextRow{{L"c"}}); }, true},
        {"Remove", [&rows] { rows.Remove(0); }, true},
        {"Clear", [&rows] { rows.Clear(); }, true},
    };
    for (const auto& c : cases) {
        const size_t revision = rows.Revision();
        const int before = notices;
        c.apply();
        EXPECT_EQ(rows.Revision() != revision, c.rowsChanged) << c.change;
        EXPECT_EQ(notices, before + 1) << c.change;
    }
}

}  // namespace
}  // namespace kestrova
