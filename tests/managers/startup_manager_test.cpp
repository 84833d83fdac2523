// The startup list's baseline: Apply moves the rows whose mark differs from the marks they
// were listed with, and nothing else.
#include "managers/startup_manager.h"

#include <stdexcept>

#include <gtest/gtest.h>

#include "platform/text.h"
#include "registry_fixture.h"
#include "support/sandbox_test.h"

namespace kestrova {
namespace {

using test::KeyPresent;
using test::NamedTexts;
using test::PutText;
using test::SubKeysOf;
using test::TextsOf;

constexpr int kWindowsXp = 6;
constexpr int kWindows98 = 2;
const std::wstring kRun = kRunKey;
const std::wstring kRecords = kStartupRecordsKey;

class StartupManagerTest : public test::SandboxTest {
protected:
    // Two enabled entries and two disabled ones, for Windows XP.
    void SetUp() override {
        PutText(HKEY_LOCAL_MACHINE, kRun, L"A", L"a.exe");
        PutText(HKEY_CURRENT_USER, kRun, L"B", L"b.exe");
        PutRecord(L"C", L"c.exe", L"HKLM");
        PutRecord(L"D", L"d.exe", L"HKCU");
        manager_.Fill(kWindowsXp);
        ASSERT_EQ(manager_.Entries().size(), 4u);
    }

    static void PutRecord(const std::wstring& name, const std::wstring& command,
                          const std::wstring& hkey) {
        const std::wstring key = kRecords + L"\\" + name;
        PutText(HKEY_LOCAL_MACHINE, key, L"command", command);
        PutText(HKEY_LOCAL_MACHINE, key, L"hkey", hkey);
        PutText(HKEY_LOCAL_MACHINE, key, L"inimapping", L"0");
        PutText(HKEY_LOCAL_MACHINE, key, L"item", name);
        PutText(HKEY_LOCAL_MACHINE, key, L"key", kRun);
    }

    static std::vector<size_t> Rows(const std::vector<StartupApplied>& applied) {
        std::vector<size_t> rows;
        for (const StartupApplied& one : applied) {
            EXPECT_TRUE(one.result.done)
                << ToUtf8(one.entry.name) << ": " << ToUtf8(one.result.reason);
            EXPECT_EQ(one.enable, !one.entry.enabled);
            rows.push_back(one.row);
        }
        return rows;
    }

    StartupManager manager_;
};

TEST_F(StartupManagerTest, BaselineIsTheListedStates) {
    EXPECT_EQ(manager_.Baseline(), (std::vector<bool>{true, true, false, false}));
    EXPECT_FALSE(manager_.HasChanges({true, true, false, false}));
    EXPECT_TRUE(manager_.HasChanges({true, true, true, false}));
    EXPECT_TRUE(manager_.HasChanges({false, true, false, false}));
}

TEST_F(StartupManagerTest, CheckAllThenApplyEnablesWhatWasUnchecked) {
    const std::vector<StartupApplied> applied =
        manager_.Apply({true, true, true, true}, kWindowsXp);
    EXPECT_EQ(Rows(applied), (std::vector<size_t>{2, 3}));
    EXPECT_EQ(applied[0].entry.name, L"C");
    EXPECT_EQ(TextsOf(HKEY_LOCAL_MACHINE, kRun), (NamedTexts{{L"A", L"a.exe"}, {L"C", L"c.exe"}}));
    EXPECT_EQ(TextsOf(HKEY_CURRENT_USER, kRun), (NamedTexts{{L"B", L"b.exe"}, {L"D", L"d.exe"}}));
    EXPECT_TRUE(SubKeysOf(HKEY_LOCAL_MACHINE, kRecords).empty());
    // Listed afresh: four enabled rows, and the baseline taken from them.
    EXPECT_EQ(manager_.Baseline(), (std::vector<bool>{true, true, true, true}));
    EXPECT_EQ(manager_.Entries().size(), 4u);
    EXPECT_FALSE(manager_.HasChanges({true, true, true, true}));
}

TEST_F(StartupManagerTest, UncheckAllThenApplyDisablesWhatWasChecked) {
    EXPECT_EQ(Rows(manager_.Apply({false, false, false, false}, kWindowsXp)),
              (std::vector<size_t>{0, 1}));
    EXPECT_TRUE(TextsOf(HKEY_LOCAL_MACHINE, kRun).empty());
    EXPECT_TRUE(TextsOf(HKEY_CURRENT_USER, kRun).empty());
    EXPECT_EQ(SubKeysOf(HKEY_LOCAL_MACHINE, kRecords),
              (std::vector<std::wstring>{L"A", L"B", L"C", L"D"}));
    EXPECT_EQ(manager_.Baseline(), (std::vector<bool>{false, false, false, false}));
}

TEST_F(StartupManagerTest, UnchangedMarksMoveNothing) {
    // Unchecked and checked again before Apply: the same as never touched.
    EXPECT_TRUE(manager_.Apply({true, true, false, false}, kWindowsXp).empty());
    EXPECT_EQ(TextsOf(HKEY_LOCAL_MACHINE, kRun), (NamedTexts{{L"A", L"a.exe"}}));
    EXPECT_EQ(SubKeysOf(HKEY_LOCAL_MACHINE, kRecords), (std::vector<std::wstring>{L"C", L"D"}));
}

TEST_F(StartupManagerTest, OneMarkPerRowIsRequired) {
    EXPECT_THROW(manager_.HasChanges({true}), std::invalid_argument);
    EXPECT_THROW(manager_.Apply({true, true, false, false, true}, kWindowsXp),
                 std::invalid_argument);
    EXPECT_EQ(TextsOf(HKEY_LOCAL_MACHINE, kRun), (NamedTexts{{L"A", L"a.exe"}}));
}

TEST_F(StartupManagerTest, FailedMovesAreReportedAndTheListShowsTheRegistry) {
    // Under another version's scheme the records are not this version's rows.
    const std::vector<StartupApplied> applied =
        manager_.Apply({true, true, true, true}, kWindows98);
    ASSERT_EQ(applied.size(), 2u);
    for (const StartupApplied& one : applied) {
        EXPECT_FALSE(one.result.done);
        EXPECT_FALSE(one.result.reason.empty());
    }
    EXPECT_EQ(SubKeysOf(HKEY_LOCAL_MACHINE, kRecords), (std::vector<std::wstring>{L"C", L"D"}));
    EXPECT_EQ(manager_.Entries().size(), 1u);  // the Windows 98 list: HKLM's Run only
    EXPECT_EQ(manager_.Baseline(), (std::vector<bool>{true}));
}

TEST(StartupManagerUnknownWindowsTest, ListsNothingAndAppliesNothing) {
    test::RegistrySandbox sandbox;
    PutText(HKEY_LOCAL_MACHINE, kRun, L"A", L"a.exe");
    StartupManager manager;
    manager.Fill(0);
    EXPECT_TRUE(manager.Entries().empty());
    EXPECT_TRUE(manager.Apply({}, 0).empty());
    EXPECT_TRUE(KeyPresent(HKEY_LOCAL_MACHINE, kRun));
    EXPECT_EQ(TextsOf(HKEY_LOCAL_MACHINE, kRun), (NamedTexts{{L"A", L"a.exe"}}));
}

}  // namespace
}  // namespace kestrova
