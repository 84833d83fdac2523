#include "scan/scan_driver.h"

#include <array>
#include <exception>
#include <utility>

#include "platform/error.h"
#include "scan/scan_checks.h"
#include "scan/scan_context.h"
#include "scan/scan_groups.h"

namespace kestrova {

namespace {

using ScanCheck = void (*)(ScanContext&);

// The check of each group by row index; the "Most Recently Used List (MRU)" row has none.
constexpr std::array<ScanCheck, kScanGroupCount> kChecks = {
    ScanAppPaths,       ScanClsid,          ScanHelpFiles,     ScanFonts,           nullptr,
    ScanStartMenuOrder, ScanSharedDlls,     ScanSharedFolders, ScanShellExtensions, ScanSoundEvents,
    ScanUninstall,      ScanFileExtensions, ScanVxd,
};

ScanOutcome Failed(std::wstring message) {
    return ScanOutcome{ScanOutcome::End::Failed, std::move(message)};
}

}  // namespace

ScanOutcome RunScan(ScanSink& sink, const XmlDocument& ignoreList) {
    ScanContext scan(sink, ignoreList);
    try {
        for (int group = 0; group < kScanGroupCount; ++group) {
            if (sink.StopRequested()) {
                return ScanOutcome{ScanOutcome::End::Stopped, {}};
            }
            if (sink.GroupChecked(group) && kChecks[group] != nullptr) {
                kChecks[group](scan);
            }
        }
    } catch (...) {
        // The message of the program's own errors, the text of any other.
        return Failed(ErrorText(std::current_exception()));
    }
    return ScanOutcome{};
}

std::wstring ScanEndStatus(const ScanOutcome& outcome) {
    if (outcome.end == ScanOutcome::End::Failed) {
        return L"Scan failed: " + outcome.error;
    }
    return std::wstring(kScanDoneStatus);
}

}  // namespace kestrova
