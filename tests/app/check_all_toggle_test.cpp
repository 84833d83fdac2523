// The "Check All" buttons that change their caption while their rows are all checked.
#include "app/check_all_toggle.h"

#include <gtest/gtest.h>

namespace kestrova {
namespace {

TEST(CheckAllToggleTest, ChecksThenUnchecksAndKeepsItsCaptionOverARefill) {
    TextRows rows;
    CheckAllToggle toggle(L"Ch&eck All", L"Unch&eck All");
    toggle.Press(rows);  // no rows: nothing happens
    EXPECT_EQ(toggle.Caption(), L"Ch&eck All");

    rows.Add(TextRow{{L"a"}});
    rows.Add(TextRow{{L"b"}});
    toggle.Press(rows);
    EXPECT_EQ(rows.CheckedCount(), 2u);
    EXPECT_EQ(toggle.Caption(), L"Unch&eck All");

    // A refill unchecks the rows but keeps the caption; the next press unchecks every row.
    rows.Clear();
    rows.Add(TextRow{{L"a"}});
    rows.Add(TextRow{{L"b"}, true});
    toggle.Press(rows);
    EXPECT_EQ(rows.CheckedCount(), 0u);
    EXPECT_EQ(toggle.Caption(), L"Ch&eck All");
}

}  // namespace
}  // namespace kestrova
