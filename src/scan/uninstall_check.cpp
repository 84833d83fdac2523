// Group 10: uninstall entries whose uninstaller is gone, in each registry view.
#include "scan/check_walks.h"
#include "scan/scan_checks.h"
#include "scan/scan_groups.h"

namespace kestrova {

void ScanUninstall(ScanContext& scan) {
    WalkSubKeyFiles(scan, {L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
                           L"UninstallString", L"Uninstall", kGroupUninstall});
}

}  // namespace kestrova
