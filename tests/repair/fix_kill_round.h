#pragma once
// One round of the crash check of fixing: stale entries in the sandbox, "kestrova-cli fix" on
// them as a child process, ended from outside (TerminateProcess) at a chosen moment, then
// "restore --all", which must bring the registry back to exactly what it held before the fix.
// Used by the fix tests and by the fix stress program.

#include <windows.h>

#include <string>

#include "repair_test_support.h"
#include "support/registry_sandbox.h"

namespace kestrova::test {

// When the fix is ended: after a delay from its start or, with whenHistorySaved, after a delay
// from the moment its restore history reached the disk (when its deletions begin).
struct KillMoment {
    DWORD delayMs = 0;
    bool whenHistorySaved = false;
};

struct KillRoundResult {
    bool killed = false;       // still running at the moment chosen
    bool midFix = false;       // killed after its history was saved
    bool deleting = false;     // ... and after its first deletion
    bool historyLoads = true;  // Backup.xml, where there is one, loads
    size_t historyEntries = 0;
    DWORD restoreExit = 0;   // exit status of "restore --all"
    size_t historyLeft = 0;  // entries still in the history after the restore
    std::string losses;      // how the registry differs from before the fix; empty when not
    bool Lost() const { return !historyLoads || restoreExit != 0 || !losses.empty(); }
};

class FixKillRounds {
public:
    // cliExe as Windows sees it; the sandbox of this process; an existing data folder (with
    // its trailing "\"); entries: the number of stale entries each round starts with.
    FixKillRounds(std::wstring cliExe, const RegistrySandbox& sandbox, std::wstring dataFolder,
                  size_t entries);

    // One fix run to its end, undisturbed, checked as a round is; its times in milliseconds
    // from the start until its history reached the disk and until it ended.
    struct Timing {
        double saved = 0;
        double ended = 0;
    };
    Timing TimeUndisturbedFix(KillRoundResult& result);
    KillRoundResult Round(const KillMoment& moment);

private:
    void Prepare();
    void Finish(KillRoundResult& result);
    std::wstring Arguments(const std::wstring& command) const;

    std::wstring cliExe_;
    const RegistrySandbox& sandbox_;
    std::wstring dataFolder_;
    size_t entries_;
    RegistryDump before_;  // the registry as the fix found it
    bool prepared_ = false;
};

}  // namespace kestrova::test
