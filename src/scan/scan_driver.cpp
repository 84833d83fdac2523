#include "scan/scan_driver.h"

#include <array>
#include <exception>
#include <utility>

#include "platform/registry_error.h"
#include "platform/text.h"
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
    } catch (const RegistryError& error) {
        return Failed(error.message());
    } catch (const XmlError& error) {
        return Failed(error.message());
    } catch (const std::exception& error) {
        return Failed(FromUtf8(error.what()));
    }
    return ScanOutcome{};
}

}  // namespace kestrova
