// Group 10: uninstall entries whose uninstaller is gone.
#include "scan/check_walks.h"
#include "scan/scan_checks.h"
#include "scan/scan_groups.h"

namespace kestrova {

void ScanUninstall(ScanContext& scan) {
    // An entry that does not open is passed over.
    WalkSubKeyFiles(
        scan, {L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall", L"UninstallString",
               L"Uninstall", kGroupUninstall, UnopenedSubKey::IsPassedOver});
}

}  // namespace kestrova
