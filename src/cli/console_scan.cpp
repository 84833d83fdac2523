#include "cli/console_scan.h"

#include <windows.h>

#include <atomic>

#include "cli/command_support.h"
#include "repair/ignore_list.h"

namespace kestrova::cli {

namespace {

std::atomic<bool> stopRequested{false};

BOOL WINAPI OnConsoleBreak(DWORD event) {
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) {
        stopRequested = true;
        return TRUE;
    }
    return FALSE;
}

}  // namespace

void LoadIgnoreList(XmlDocument& ignoreList, const std::wstring& dataFolder) {
    OpenStore(ignoreList, dataFolder + kIgnoreFileName, kIgnoreRootTag);
}

ConsoleScan::ConsoleScan(const std::array<bool, kScanGroupCount>& groups)
    : sink_(groups, stopRequested) {}

ScanOutcome ConsoleScan::Run(const XmlDocument& ignoreList) {
    SetConsoleCtrlHandler(OnConsoleBreak, TRUE);
    const ScanOutcome outcome = RunScan(sink_, ignoreList);
    SetConsoleCtrlHandler(OnConsoleBreak, FALSE);
    sink_.EndRun(ScanEndStatus(outcome));
    return outcome;
}

}  // namespace kestrova::cli
