#include "app/list_rows.h"

#include <gtest/gtest.h>

#include "scan/scan_groups.h"

namespace kestrova {
namespace {

std::vector<std::wstring> Captions(const TextRows& rows) {
    std::vector<std::wstring> captions;
    for (size_t i = 0; i < rows.RowCount(); ++i) {
        captions.push_back(rows.CellText(i, 0));
    }
    return captions;
}

TEST(ScanGroupRowsTest, RebuildGivesThirteenCheckedGroupsAtZero) {
    TextRows rows;
    FillScanGroupRows(rows);
    // What a run leaves behind: counts written, a group unchecked, a stray row.
    rows.SetCell(3, 1, L"17");
    rows.SetChecked(5, false);
    rows.Add(TextRow{{L"stray"}});

    FillScanGroupRows(rows);
    ASSERT_EQ(rows.RowCount(), 13u);
    const wchar_t* const expected[] = {L"Application Path",
                                       L"CLSID",
                                       L"Help Path",
                                       L"Font Path",
                                       L"Most Recently Used List (MRU)",
                                       L"Obsolete Start Menu",
                                       L"Shared DLLs",
                                       L"Shared Folder",
                                       L"Shell Extensions",
                                       L"Sound and AppEvents",
                                       L"Uninstall",
                                       L"File Extensions",
                                       L"Invalid device drivers (VxD)"};
    for (size_t i = 0; i < rows.RowCount(); ++i) {
        EXPECT_EQ(rows.CellText(i, 0), expected[i]) << i;
        EXPECT_EQ(rows.CellText(i, 1), L"0") << i;
        EXPECT_TRUE(rows.Checked(i)) << i;
        EXPECT_EQ(rows.Image(i), 0) << i;
    }
}

class IgnoreRowsTest : public ::testing::Test {
protected:
    void SetUp() override { document_.Create(L"IgnoreList"); }
    void Entry(const wchar_t* root, const wchar_t* key, const wchar_t* value) {
        XmlElement e = document_.Root().AppendChild(L"ERROR");
        if (root) {
            e.SetAttribute(L"ROOT", root);
        }
        if (key) {
            e.SetAttribute(L"KEY", key);
        }
        if (value) {
            e.SetAttribute(L"VALUE", value);
        }
    }
    XmlDocument document_;
    TextRows rows_;
};

TEST_F(IgnoreRowsTest, OneUncheckedRowPerEntryInDocumentOrder) {
    Entry(L"HKEY_LOCAL_MACHINE", L"SOFTWARE\\Classes\\CLSID", L"{0}");
    Entry(L"HKEY_CURRENT_USER", L"", L"Value with \\ and \"quotes\"");
    rows_.Add(TextRow{{L"old row"}, true});
    FillIgnoreRows(document_, rows_);
    ASSERT_EQ(rows_.RowCount(), 2u);
    EXPECT_EQ(rows_.Row(0).cells, (std::vector<std::wstring>{L"HKEY_LOCAL_MACHINE",
                                                             L"SOFTWARE\\Classes\\CLSID", L"{0}"}));
    EXPECT_EQ(rows_.Row(1).cells, (std::vector<std::wstring>{L"HKEY_CURRENT_USER", L"",
                                                             L"Value with \\ and \"quotes\""}));
    EXPECT_FALSE(rows_.Checked(0));
    EXPECT_FALSE(rows_.Checked(1));
}

TEST_F(IgnoreRowsTest, EntryLackingAnAttributeFailsAfterTheRowsBeforeIt) {
    Entry(L"HKEY_USERS", L"A", L"b");
    Entry(L"HKEY_USERS", nullptr, L"c");
    Entry(L"HKEY_USERS", L"D", L"e");
    EXPECT_THROW(FillIgnoreRows(document_, rows_), XmlError);
    EXPECT_EQ(Captions(rows_), std::vector<std::wstring>{L"HKEY_USERS"});
}

}  // namespace
}  // namespace kestrova
