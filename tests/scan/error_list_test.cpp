#include "scan/error_list.h"

#include <stdexcept>

#include <gtest/gtest.h>

namespace kestrova {
namespace {

ErrorRow Row(const std::wstring& type, const std::wstring& key) {
    return ErrorRow{type, key, L"", L"", true, kReportedRowImage};
}

std::vector<std::wstring> Keys(const ErrorList& list) {
    std::vector<std::wstring> keys;
    for (size_t i = 0; i < list.Size(); ++i) {
        keys.push_back(list.At(i).keyName);
    }
    return keys;
}

TEST(ErrorListTest, KeepsTypesInLocaleOrderAndRowsOfATypeInFoundOrder) {
    ErrorList list;
    list.Add(Row(L"Uninstall", L"u1"));
    list.Add(Row(L"VxD Error", L"v1"));
    list.Add(Row(L"Application", L"a1"));
    list.Add(Row(L"COM/ActiveX", L"c1"));
    list.Add(Row(L"Uninstall", L"u2"));
    list.Add(Row(L"Application", L"a2"));
    list.Add(Row(L"Shared DLLs", L"s1"));
    list.Add(Row(L"Shared Folder", L"s2"));

    EXPECT_EQ(Keys(list),
              (std::vector<std::wstring>{L"a1", L"a2", L"c1", L"s1", L"s2", L"u1", L"u2", L"v1"}));
    EXPECT_EQ(list.Size(), 8u);
}

TEST(ErrorListTest, OrderIsTheLocalesNotTheCodePoints) {
    ErrorList list;
    list.Add(Row(L"Zeta", L"z"));
    list.Add(Row(L"alpha", L"a"));        // after "Zeta" in code-point order
    list.Add(Row(L"\u00c9clair", L"e"));  // accented capital: between the two in a locale
    EXPECT_EQ(Keys(list), (std::vector<std::wstring>{L"a", L"e", L"z"}));
    EXPECT_LT(CompareErrorTypes(L"alpha", L"Zeta"), 0);
    EXPECT_EQ(CompareErrorTypes(L"Font File", L"Font File"), 0);
}

TEST(ErrorListTest, RemovingAndCheckingByListIndex) {
    ErrorList list;
    for (const wchar_t* key : {L"b1", L"b2", L"b3"}) {
        list.Add(Row(L"B", key));
    }
    list.Add(Row(L"A", L"a1"));
    list.Add(Row(L"C", L"c1"));

    list.SetChecked(2, false);
    EXPECT_FALSE(list.At(2).checked);
    EXPECT_EQ(list.At(2).keyName, L"b2");

    list.Remove(0);  // the only "A" row: its type goes
    EXPECT_EQ(Keys(list), (std::vector<std::wstring>{L"b1", L"b2", L"b3", L"c1"}));
    list.Remove(std::vector<size_t>{3, 0, 2, 0});
    EXPECT_EQ(Keys(list), (std::vector<std::wstring>{L"b2"}));
    EXPECT_FALSE(list.At(0).checked);

    list.Add(Row(L"A", L"a2"));  // a type that went comes back in its place
    EXPECT_EQ(Keys(list), (std::vector<std::wstring>{L"a2", L"b2"}));
    list.SetAllChecked(true);
    EXPECT_TRUE(list.At(1).checked);

    EXPECT_THROW(list.At(2), std::out_of_range);
    EXPECT_THROW(list.Remove(std::vector<size_t>{0, 2}), std::out_of_range);
    EXPECT_EQ(list.Size(), 2u);
    list.Clear();
    EXPECT_TRUE(list.Empty());
    EXPECT_THROW(list.Remove(0), std::out_of_range);
}

TEST(ErrorListTest, ManyRowsRemovedInOnePassKeepTheirOrder) {
    ErrorList list;
    const wchar_t* types[] = {L"Uninstall", L"Application", L"Font File"};
    const size_t count = 100000;
    for (size_t i = 0; i < count; ++i) {
        list.Add(Row(types[i % 3], std::to_wstring(i)));
    }
    ASSERT_EQ(list.Size(), count);
    EXPECT_EQ(list.At(0).keyName, L"1");              // first "Application"
    EXPECT_EQ(list.At(count - 1).keyName, L"99999");  // last "Uninstall"

    // Every other row goes, as a fix of alternate checked rows does.
    std::vector<size_t> odd;
    for (size_t i = 1; i < count; i += 2) {
        odd.push_back(i);
    }
    list.Remove(odd);
    ASSERT_EQ(list.Size(), count / 2);
    for (size_t i = 1; i < list.Size(); ++i) {
        const ErrorRow& before = list.At(i - 1);
        const ErrorRow& row = list.At(i);
        const int order = CompareErrorTypes(before.type, row.type);
        ASSERT_TRUE(order < 0 ||
                    (order == 0 && std::stoul(before.keyName) < std::stoul(row.keyName)))
            << i;
    }
}

}  // namespace
}  // namespace kestrova
