// A whole run: which groups run and when, the ignore-list filter, stops and errors.
#include "scan/scan_driver.h"

#include <functional>
#include <stdexcept>

#include "platform/error.h"
#include "scan_test_fixture.h"

namespace kestrova {
namespace {

using test::RecordingSink;
using test::ScanTest;

const std::wstring kAppPaths = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";
const std::wstring kUninstall = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const std::wstring kVxd = L"SYSTEM\\CurrentControlSet\\Services\\VXD";
const std::wstring kMenu =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\Start Menu\\Programs";

class ScanDriverTest : public ScanTest {
protected:
    // One stale entry each for App Paths (0), Start menu order (5), Uninstall (10), VxD (12).
    void FillFourGroups() {
        SetText(HKEY_LOCAL_MACHINE, kAppPaths + L"\\a.exe", L"", Gone(L"a.exe"));
        SetText(HKEY_LOCAL_MACHINE, kAppPaths + L"\\b.exe", L"", Gone(L"b.exe"));
        CreateKey(HKEY_CURRENT_USER, kMenu + L"\\Old");
        SetText(HKEY_LOCAL_MACHINE, kUninstall + L"\\App", L"UninstallString", Gone(L"u.exe"));
        CreateKey(HKEY_LOCAL_MACHINE, kVxd + L"\\Driver");
    }

    std::vector<std::wstring> Types() const {
        std::vector<std::wstring> types;
        for (const ErrorRow& row : sink_.rows) {
            types.push_back(row.type);
        }
        return types;
    }

    void CheckAll() { sink_.checked.fill(true); }
};

TEST_F(ScanDriverTest, RunsTheCheckedGroupsInIndexOrder) {
    FillFourGroups();
    sink_.checked[kGroupVxd] = true;
    sink_.checked[kGroupUninstall] = true;
    sink_.checked[kGroupAppPaths] = true;

    const ScanOutcome outcome = RunScan(sink_, ignore_);

    EXPECT_EQ(outcome.end, ScanOutcome::End::Completed);
    EXPECT_EQ(Types(), (std::vector<std::wstring>{L"Application", L"Application", L"Uninstall",
                                                  L"VxD Error"}));
    EXPECT_EQ(sink_.countWrites,
              (std::vector<std::pair<int, int>>{
                  {kGroupAppPaths, 2}, {kGroupUninstall, 1}, {kGroupVxd, 0}, {kGroupVxd, 1}}));
}

TEST_F(ScanDriverTest, NoGroupCheckedFindsNothing) {
    FillFourGroups();
    const ScanOutcome outcome = RunScan(sink_, ignore_);
    EXPECT_EQ(outcome.end, ScanOutcome::End::Completed);
    EXPECT_TRUE(sink_.rows.empty());
    EXPECT_TRUE(sink_.countWrites.empty());
    EXPECT_TRUE(sink_.statuses.empty());
}

TEST_F(ScanDriverTest, OnlyMostRecentlyUsedListCheckedScansNothing) {
    FillFourGroups();
    sink_.checked[kGroupMru] = true;
    const ScanOutcome outcome = RunScan(sink_, ignore_);
    EXPECT_EQ(outcome.end, ScanOutcome::End::Completed);
    EXPECT_TRUE(sink_.rows.empty());
    EXPECT_TRUE(sink_.countWrites.empty());
    EXPECT_TRUE(sink_.statuses.empty());
}

TEST_F(ScanDriverTest, GroupCheckedDuringTheRunIsRunWhenReached) {
    FillFourGroups();
    sink_.checked[kGroupAppPaths] = true;
    sink_.onStatus = [&](const std::wstring&) { sink_.checked[kGroupUninstall] = true; };

    RunScan(sink_, ignore_);

    EXPECT_EQ(Types(), (std::vector<std::wstring>{L"Application", L"Application", L"Uninstall"}));
}

TEST_F(ScanDriverTest, StopDuringAGroupKeepsItsRowsAndEndsTheRunBeforeTheNext) {
    FillFourGroups();
    CheckAll();
    sink_.stopWhen = [](const RecordingSink& sink) { return !sink.rows.empty(); };

    const ScanOutcome outcome = RunScan(sink_, ignore_);

    EXPECT_EQ(outcome.end, ScanOutcome::End::Stopped);
    EXPECT_EQ(Types(), (std::vector<std::wstring>{L"Application"}));
    EXPECT_TRUE(sink_.countWrites.empty());
}

TEST_F(ScanDriverTest, StopInAGroupWithoutStopTestTakesEffectAfterIt) {
    FillFourGroups();
    CheckAll();
    sink_.checked[kGroupAppPaths] = false;
    // Asked for while the Start menu group (which finishes its keys) has found its row.
    sink_.stopWhen = [](const RecordingSink& sink) { return !sink.rows.empty(); };

    const ScanOutcome outcome = RunScan(sink_, ignore_);

    EXPECT_EQ(outcome.end, ScanOutcome::End::Stopped);
    EXPECT_EQ(Types(), (std::vector<std::wstring>{L"Start Menu"}));
    EXPECT_EQ(sink_.counts[kGroupStartMenu], 1);
    EXPECT_FALSE(sink_.counts[kGroupSharedDlls].has_value());  // the next group never ran
}

TEST_F(ScanDriverTest, ValuesOfOtherTypesDoNotEndTheRun) {
    FillFourGroups();
    CheckAll();
    SetDword(HKEY_LOCAL_MACHINE, kAppPaths + L"\\0.exe", L"");
    SetRaw(HKEY_LOCAL_MACHINE, kUninstall + L"\\0", L"UninstallString", REG_MULTI_SZ, {0, 0});
    SetRaw(HKEY_LOCAL_MACHINE, kVxd + L"\\0", L"StaticVxD", REG_EXPAND_SZ + 100, {});

    const ScanOutcome outcome = RunScan(sink_, ignore_);

    EXPECT_EQ(outcome.end, ScanOutcome::End::Completed) << outcome.error.c_str();
    EXPECT_EQ(sink_.rows.size(), 5u);
    EXPECT_EQ(sink_.counts[kGroupAppPaths], 2);
    EXPECT_EQ(sink_.counts[kGroupVxd], 1);
}

TEST_F(ScanDriverTest, ErrorInsideACheckEndsTheRunAndKeepsTheRowsFound) {
    FillFourGroups();
    CheckAll();
    // The user edits the ignore list by hand during the scan; the entry lacks VALUE.
    sink_.onStatus = [&](const std::wstring& status) {
        if (status.ends_with(L"\\b.exe")) {
            XmlElement entry = ignore_.Root().AppendChild(L"ERROR");
            entry.SetAttribute(L"ROOT", L"HKEY_LOCAL_MACHINE");
            entry.SetAttribute(L"KEY", kAppPaths);
        }
    };

    const ScanOutcome outcome = RunScan(sink_, ignore_);

    EXPECT_EQ(outcome.end, ScanOutcome::End::Failed);
    EXPECT_FALSE(outcome.error.empty());
    EXPECT_EQ(ScanEndStatus(outcome), L"Scan failed: " + outcome.error);
    ASSERT_EQ(sink_.rows.size(), 1u);
    EXPECT_TRUE(sink_.rows[0].keyName.ends_with(L"\\a.exe"));
    EXPECT_TRUE(sink_.countWrites.empty());  // later groups never ran
}

TEST_F(ScanDriverTest, ErrorOfAnyKindEndsTheRunWithItsText) {
    FillFourGroups();
    sink_.checked[kGroupAppPaths] = true;
    sink_.checked[kGroupUninstall] = true;
    const struct {
        const char* what;
        std::function<void()> raise;
        std::wstring text;
    } cases[] = {
        {"the program's own", [] { throw Error(L"Kestrova failed here"); },
         L"Kestrova failed here"},
        {"a standard one", [] { throw std::length_error("too long"); }, L"too long"},
        {"anything else", [] { throw 42; }, L"An unexpected error occurred."},
    };
    for (const auto& c : cases) {
        sink_ = RecordingSink();
        sink_.checked[kGroupAppPaths] = true;
        sink_.checked[kGroupUninstall] = true;
        sink_.onStatus = [&](const std::wstring& status) {
            if (status.ends_with(L"\\b.exe")) {
                c.raise();
            }
        };

        const ScanOutcome outcome = RunScan(sink_, ignore_);

        EXPECT_EQ(outcome.end, ScanOutcome::End::Failed) << c.what;
        EXPECT_EQ(outcome.error, c.text) << c.what;
        EXPECT_EQ(ScanEndStatus(outcome), L"Scan failed: " + c.text) << c.what;
        EXPECT_EQ(sink_.rows.size(), 1u) << c.what;  // a.exe's row stays
        EXPECT_TRUE(sink_.countWrites.empty()) << c.what;
    }
}

TEST_F(ScanDriverTest, EndStatusTellsAFailedRunFromADoneOne) {
    EXPECT_EQ(ScanEndStatus(ScanOutcome{}), L"Scan done !");
    EXPECT_EQ(ScanEndStatus(ScanOutcome{ScanOutcome::End::Stopped, {}}), L"Scan done !");
    EXPECT_EQ(ScanEndStatus(ScanOutcome{ScanOutcome::End::Failed, L"Invalid data type for 'x'"}),
              L"Scan failed: Invalid data type for 'x'");
}

class IgnoreMatchTest : public ScanTest {};

TEST_F(IgnoreMatchTest, OnlyTheExactKeyNameIsSuppressed) {
    SetText(HKEY_LOCAL_MACHINE, kAppPaths + L"\\App.exe", L"", Gone(L"app.exe"));
    sink_.checked[kGroupAppPaths] = true;
    struct Case {
        const wchar_t* what;
        std::wstring root, key, value;
        bool suppressed;
    } cases[] = {
        {L"exact", L"HKEY_LOCAL_MACHINE", kAppPaths, L"App.exe", true},
        {L"another root", L"HKEY_CURRENT_USER", kAppPaths, L"App.exe", false},
        {L"short root", L"HKLM", kAppPaths, L"App.exe", false},
        {L"value case", L"HKEY_LOCAL_MACHINE", kAppPaths, L"app.exe", false},
        {L"key case", L"HKEY_LOCAL_MACHINE",
         L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths", L"App.exe", false},
        {L"empty key", L"HKEY_LOCAL_MACHINE", L"", L"App.exe", false},
        {L"key with a leading \\", L"HKEY_LOCAL_MACHINE", L"\\" + kAppPaths, L"App.exe", false},
    };
    for (const Case& c : cases) {
        ignore_.Create(L"IgnoreList");
        AddIgnore(L"HKEY_LOCAL_MACHINE", L"SOFTWARE", L"Other");  // an entry that never matches
        AddIgnore(c.root, c.key, c.value);
        sink_ = RecordingSink();
        sink_.checked[kGroupAppPaths] = true;

        RunScan(sink_, ignore_);

        EXPECT_EQ(sink_.rows.empty(), c.suppressed) << c.what;
        EXPECT_EQ(sink_.counts[kGroupAppPaths], c.suppressed ? 0 : 1) << c.what;
    }
}

TEST_F(IgnoreMatchTest, EntryLackingAnAttributeEndsTheRun) {
    SetText(HKEY_LOCAL_MACHINE, kAppPaths + L"\\App.exe", L"", Gone(L"app.exe"));
    sink_.checked[kGroupAppPaths] = true;
    XmlElement entry = ignore_.Root().AppendChild(L"ERROR");
    entry.SetAttribute(L"KEY", kAppPaths);
    entry.SetAttribute(L"VALUE", L"App.exe");

    const ScanOutcome outcome = RunScan(sink_, ignore_);

    EXPECT_EQ(outcome.end, ScanOutcome::End::Failed);
    EXPECT_TRUE(sink_.rows.empty());
    EXPECT_FALSE(sink_.counts[kGroupAppPaths].has_value());
}

}  // namespace
}  // namespace kestrova
