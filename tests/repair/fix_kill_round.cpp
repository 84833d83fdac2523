#include "fix_kill_round.h"

#include <chrono>
#include <vector>

#include "platform/registry.h"
#include "platform/xml_document.h"
#include "support/child_process.h"
#include "support/scoped_environment.h"
#include "support/stale_entries.h"
#include "support/temp_folder.h"

namespace kestrova::test {

namespace {

const HKEY kRoots[] = {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS,
                       HKEY_CURRENT_CONFIG};

// Empties every root of the sandbox.
void ClearSandbox() {
    for (HKEY root : kRoots) {
        Registry registry(root);
        if (!registry.OpenKey(L"\\", false)) {
            continue;
        }
        std::vector<std::wstring> names;
        registry.GetValueNames(names);
        for (const std::wstring& name : names) {
            registry.DeleteValue(name);
        }
        registry.GetKeyNames(names);
        for (const std::wstring& name : names) {
            registry.DeleteKey(name);
        }
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
    // Quoted without the trailing "\", which would escape the closing quote.
    return command + L" --data-folder \"" + dataFolder_.substr(0, dataFolder_.size() - 1) + L"\"";
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
    ClearSandbox();
    MakeStaleEntries(entries_, L"KestrovaKill");
    // A scan first: the system's libraries in the child write keys of their own (the shell's
    // folders) on first use, which are no part of what the fix and the restore do.
    const ScopedEnvironment sandbox(kRegistrySandboxVariable, sandbox_.ScratchPath());
    RunChild(cliExe_, Arguments(L"scan --groups " + StaleEntryGroups()));
    before_ = DumpRegistry();
}

void FixKillRounds::Finish(KillRoundResult& result) {
    const std::wstring history = dataFolder_ + L"Backup.xml";
    if (FileExists(history)) {
        try {
            XmlDocument document;
            document.Load(history);
            result.historyEntries = document.Root().ChildCount();
        } catch (const XmlError&) {
            result.historyLoads = false;
        }
    }
    const RegistryDump afterKill = DumpRegistry();
    result.midFix = result.killed && result.historyEntries > 0;
    result.deleting = result.midFix && !(afterKill == before_);

    const ScopedEnvironment sandbox(kRegistrySandboxVariable, sandbox_.ScratchPath());
    const ChildResult restore = RunChild(cliExe_, Arguments(L"restore --all"));
    result.restoreExit = restore.exitCode;
    if (FileExists(history)) {
        try {
            XmlDocument document;
            document.Load(history);
            result.historyLeft = document.Root().ChildCount();
        } catch (const XmlError&) {
            result.historyLoads = false;
        }
    }
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
