// Crash check of fixing, many times over: stale entries in a registry sandbox, "kestrova-cli
// fix" on them as a child process ended from outside (TerminateProcess) after a random delay,
// then "restore --all", which must bring the registry back to exactly what it held before the
// fix (every key, value name, type and data). A stress program, not a timed test.
//
// Usage: fix_stress [--rounds N] [--entries N] [--seed N]
//   --rounds N   rounds with a kill (default 50)
//   --entries N  stale entries in the sandbox (default 1,000)
//   --seed N     seed of the random delays (default: the clock)
// Last line: "losses N", the rounds after which something was lost (goal 0).
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <random>
#include <string>

#include "fix_kill_round.h"
#include "platform/text.h"
#include "child_program.h"
#include "support/child_process.h"
#include "support/registry_sandbox.h"
#include "support/temp_folder.h"

namespace kestrova::bench {

namespace {

struct Options {
    int rounds = 50;
    size_t entries = 1000;
    unsigned seed = static_cast<unsigned>(GetTickCount());
};

bool ReadOptions(int argc, wchar_t** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::wstring name = argv[i];
        if (i + 1 >= argc) {
            return false;
        }
        const unsigned long value = std::wcstoul(argv[++i], nullptr, 10);
        if (name == L"--rounds") {
            options.rounds = static_cast<int>(value);
        } else if (name == L"--entries") {
            options.entries = value;
        } else if (name == L"--seed") {
            options.seed = static_cast<unsigned>(value);
        } else {
            return false;
        }
    }
    return options.rounds > 0 && options.entries > 0;
}

// The kestrova-cli.exe beside this program's folder (build/bench/.. = build).
const char* Outcome(const test::KillRoundResult& result) {
    if (!result.killed) {
        return "fix ended before the kill";
    }
    if (result.deleting) {
        return "killed while deleting";
    }
    return result.midFix ? "killed after the save, before deleting"
                         : "killed before the history was saved";
}

void Report(int round, const test::KillMoment& moment, const test::KillRoundResult& result) {
    std::printf("round %d, kill %lu ms after %s: %s, history %zu entries\n", round,
                static_cast<unsigned long>(moment.delayMs),
                moment.whenHistorySaved ? "the save" : "the start", Outcome(result),
                result.historyEntries);
    if (result.Lost()) {
        std::printf("LOST:\n%s%s%s", result.losses.c_str(),
                    result.historyLoads ? "" : "Backup.xml does not load\n",
                    result.restoreExit == 0 ? "" : "restore --all failed\n");
    }
}

int Run(const Options& options) {
    test::RegistrySandbox sandbox;
    test::TempFolder folder;
    test::FixKillRounds rounds(CliBesideThisProgram(), sandbox, folder.Path(), options.entries);
    std::printf("Fix stress: %zu stale entries, %d rounds, seed %u\n", options.entries,
                options.rounds, options.seed);

    // Twice: the first run of a program pays for starting the system's libraries.
    test::KillRoundResult whole;
    rounds.TimeUndisturbedFix(whole);
    int losses = whole.Lost() ? 1 : 0;
    const test::FixKillRounds::Timing timing = rounds.TimeUndisturbedFix(whole);
    losses += whole.Lost() ? 1 : 0;
    std::printf(
        "undisturbed fix: history saved after %.0f ms, ended after %.0f ms, %zu history "
        "entries, %s\n",
        timing.saved, timing.ended, whole.historyEntries,
        whole.Lost() ? "LOST" : "restored exactly");

    // Every other round anywhere up to the fix's time (some see it end first: the time varies
    // with the machine's load), the others once the history is on disk, while the deletions
    // run.
    std::mt19937 random(options.seed);
    std::uniform_int_distribution<DWORD> anywhere(0, static_cast<DWORD>(timing.ended));
    std::uniform_int_distribution<DWORD> deleting(
        0, static_cast<DWORD>((timing.ended - timing.saved) * 0.8));
    int killed = 0, midFix = 0, whileDeleting = 0;
    for (int round = 1; round <= options.rounds; ++round) {
        const bool afterSave = round % 2 == 0;
        const DWORD delayMs = afterSave ? deleting(random) : anywhere(random);
        const test::KillMoment moment{delayMs, afterSave};
        const test::KillRoundResult result = rounds.Round(moment);
        killed += result.killed ? 1 : 0;
        midFix += result.midFix ? 1 : 0;
        whileDeleting += result.deleting ? 1 : 0;
        losses += result.Lost() ? 1 : 0;
        Report(round, moment, result);
        std::fflush(stdout);
    }
    std::printf("rounds %d, killed %d, mid-fix %d (while deleting %d), ended before the kill %d\n",
                options.rounds, killed, midFix, whileDeleting, options.rounds - killed);
    std::printf("losses %d\n", losses);
    return losses == 0 ? 0 : 1;
}

}  // namespace

}  // namespace kestrova::bench

int wmain(int argc, wchar_t** argv) {
    using namespace kestrova::bench;
    return ChildProgramMain<Options>(argc, argv, "fix_stress [--rounds N] [--entries N] [--seed N]",
                                     ReadOptions, Run);
}
