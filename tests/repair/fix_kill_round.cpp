#include "fix_kill_round.h"

#include <chrono>
#include <vector>

#include "platform/registry.h"
#include "platform/xml_document.h"
#include "support/child_process.h"
#include "support/cli_child.h"
#include "support/scoped_environment.h"
#include "support/stale_entries.h"
#include "support/temp_folder.h"

namespace kestrova::test {

namespace {

// The number of entries in the history file, if there is one; false when it does not load.
bool CountHistory(const std::wstring& file, size_t& entries) {
    if (!FileExists(file)) {
        return true;
    }
    try {
        XmlDocument document;
        document.Load(file);
        entries = document.Root().ChildCount();
        return true;
    } catch (const XmlError&) {
        return false;
    }
}

}  // namespace

FixKillRounds::FixKillRounds(std::wstring cliExe, const RegistrySandbox& sandbox,
                             std::wstring dataFolder, size_t entries)
    : cliExe_(std::move(cliExe)),
      sandbox_(sandbox),
      dataFolder_(std::move(dataFolder)),
      entries_(entries) {}

std::wstring FixKillRounds::Arguments(const std::wstring& command) const {
    return command + DataFolderOption(dataFolder_);
}

void FixKillRounds::Prepare() {
    // After a round without loss the registry is exactly as the last one began: reused.
    const bool reuse = prepared_ && DumpRegistry() == before_;
    for (const std::wstring& name : EntryNames(dataFolder_)) {
        DeleteFileW((dataFolder_ + name).c_str());
    }
    if (reuse) {
        return;
    }
    prepared_ = true;
    sandbox_.Clear();
    MakeStaleEntries(entries_, L"KestrovaKill");
    // A scan first: the system's libraries in the child write keys of their own (the shell's
    // folders) on first use, which are no part of what the fix and the restore do.
    const ScopedEnvironment sandbox(kRegistrySandboxVariable, sandbox_.ScratchPath());
    RunChild(cliExe_, Arguments(L"scan --groups " + StaleEntryGroups()));
    before_ = DumpRegistry();
}

void FixKillRounds::Finish(KillRoundResult& result) {
    const std::wstring history = dataFolder_ + L"Backup.xml";
    result.historyLoads = CountHistory(history, result.historyEntries);
    const RegistryDump afterKill = DumpRegistry();
    result.midFix = result.killed && result.historyEntries > 0;
    result.deleting = result.midFix && !(afterKill == before_);

    const ScopedEnvironment sandbox(kRegistrySandboxVariable, sandbox_.ScratchPath());
    const ChildResult restore = RunChild(cliExe_, Arguments(L"restore --all"));
    result.restoreExit = restore.exitCode;
    result.historyLoads = CountHistory(history, result.historyLeft) && result.historyLoads;
    result.losses = DescribeDifferences(before_, DumpRegistry());
}

FixKillRounds::Timing FixKillRounds::TimeUndisturbedFix(KillRoundResult& result) {
    Prepare();
    Timing timing;
    const auto since = [start = std::chrono::steady_clock::now()] {
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count();
    };
    {
        const ScopedEnvironment sandbox(kRegistrySandboxVariable, sandbox_.ScratchPath());
        RunningChild fix(cliExe_, Arguments(L"fix --groups " + StaleEntryGroups()));
        const std::wstring history = dataFolder_ + L"Backup.xml";
        while (!FileExists(history) && !fix.WaitFor(0)) {
            Sleep(1);
        }
        timing.saved = since();
        fix.WaitFor(INFINITE);
        timing.ended = since();
    }
    Finish(result);
    return timing;
}

KillRoundResult FixKillRounds::Round(const KillMoment& moment) {
    Prepare();
    KillRoundResult result;
    {
        const ScopedEnvironment sandbox(kRegistrySandboxVariable, sandbox_.ScratchPath());
        RunningChild fix(cliExe_, Arguments(L"fix --groups " + StaleEntryGroups()));
        if (moment.whenHistorySaved) {
            const std::wstring history = dataFolder_ + L"Backup.xml";
            while (!FileExists(history) && !fix.WaitFor(0)) {
                Sleep(0);
            }
        }
        fix.WaitFor(moment.delayMs);
        result.killed = !fix.WaitFor(0);
        if (result.killed) {
            fix.Kill();
        }
    }
    Finish(result);
    return result;
}

}  // namespace kestrova::test
