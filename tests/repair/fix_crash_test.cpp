// A fix ended from outside at any moment (a crash, a power cut, the task manager) loses
// nothing: "restore --all" afterwards brings the registry back to exactly what it held.
// bench/fix_stress runs the same rounds at random moments, many times over.
#include <gtest/gtest.h>

#include "fix_kill_round.h"
#include "support/child_process.h"
#include "support/sandbox_test.h"

#ifndef KESTROVA_CLI_EXE
#define KESTROVA_CLI_EXE ""
#endif

namespace kestrova {
namespace {

class FixCrashTest : public test::SandboxTest {};

TEST_F(FixCrashTest, AFixEndedAtAFixedMomentLosesNothing) {
    test::FixKillRounds rounds(test::HostPathToWindows(KESTROVA_CLI_EXE), registry_, temp_.Path(),
                               140);
    test::KillRoundResult whole;
    const double fixMs = rounds.TimeUndisturbedFix(whole).ended;
    EXPECT_FALSE(whole.Lost()) << whole.losses << " restore exit " << whole.restoreExit;
    EXPECT_EQ(whole.historyEntries, 140u);
    EXPECT_EQ(whole.historyLeft, 0u);

    const struct {
        const char* label;
        test::KillMoment moment;
    } moments[] = {
        {"at the start", {0, false}},
        {"as the history reaches the disk", {0, true}},
        {"half way", {static_cast<DWORD>(fixMs * 0.5), false}},
        {"near the end", {static_cast<DWORD>(fixMs * 0.9), false}},
    };
    for (const auto& m : moments) {
        SCOPED_TRACE(m.label);
        const test::KillRoundResult result = rounds.Round(m.moment);
        SCOPED_TRACE("killed " + std::to_string(result.killed) + ", history entries " +
                     std::to_string(result.historyEntries));
        EXPECT_TRUE(result.historyLoads);
        EXPECT_EQ(result.restoreExit, 0u);
        EXPECT_TRUE(result.losses.empty()) << result.losses;
        EXPECT_EQ(result.historyLeft, 0u);
        if (m.moment.whenHistorySaved) {
            // Between the save and the end of the deletions.
            EXPECT_TRUE(result.midFix);
        }
    }
}

}  // namespace
}  // namespace kestrova
