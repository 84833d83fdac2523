// Group 0: App Paths entries whose program is gone, in each registry view.
#include "scan/check_walks.h"
#include "scan/scan_checks.h"
#include "scan/scan_groups.h"

namespace kestrova {

void ScanAppPaths(ScanContext& scan) {
    // Each entry's default value names the program.
    WalkSubKeyFiles(scan, {L"\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths", L"",
                           L"Application", kGroupAppPaths});
}

}  // namespace kestrova
