// Group 0: App Paths entries whose program is gone.
#include "platform/registry.h"
#include "scan/registry_text.h"
#include "scan/scan_checks.h"
#include "scan/scan_groups.h"
#include "scan/target_missing.h"

namespace kestrova {

void ScanAppPaths(ScanContext& scan) {
    const std::wstring key = L"\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";
    Registry registry(HKEY_LOCAL_MACHINE);
    if (!registry.OpenKey(key, false)) {
        return;
    }
    std::vector<std::wstring> names;
    registry.GetKeyNames(names);
    int counter = 0;
    for (const std::wstring& name : names) {
        const std::wstring keyName = L"HKEY_LOCAL_MACHINE" + key + L"\\" + name;
        scan.SetStatus(keyName);
        // A subkey that vanished or refuses access ends the group, counter unwritten.
        if (!registry.OpenKey(key + L"\\" + name, false)) {
            return;
        }
        const std::optional<std::wstring> path = ReadTextData(registry, L"");
        std::wstring guess;
        if (path && TargetMissing(*path, guess)) {
            scan.ReportError(L"Application", keyName, *path, counter, guess);
        }
        if (scan.StopRequested()) {
            return;
        }
    }
    scan.WriteCounter(kGroupAppPaths, counter);
}

}  // namespace kestrova
