// Group 10: uninstall entries whose uninstaller is gone.
#include "platform/registry.h"
#include "scan/registry_text.h"
#include "scan/scan_checks.h"
#include "scan/scan_groups.h"
#include "scan/target_missing.h"

namespace kestrova {

void ScanUninstall(ScanContext& scan) {
    const std::wstring key = L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
    Registry registry(HKEY_LOCAL_MACHINE);
    if (!registry.OpenKey(key, false)) {
        return;
    }
    std::vector<std::wstring> names;
    registry.GetKeyNames(names);
    int counter = 0;
    for (const std::wstring& name : names) {
        const std::wstring entryKey = key + L"\\" + name;
        scan.SetStatus(L"HKEY_LOCAL_MACHINE" + entryKey);
        // An entry that does not open is passed over without a stop test.
        if (!registry.OpenKey(entryKey, false)) {
            continue;
        }
        const std::optional<std::wstring> command = ReadTextData(registry, L"UninstallString");
        std::wstring guess;
        if (command && TargetMissing(*command, guess)) {
            scan.ReportError(L"Uninstall", L"HKEY_LOCAL_MACHINE" + entryKey + L"\\UninstallString",
                             *command, counter, guess);
        }
        if (scan.StopRequested()) {
            return;
        }
    }
    scan.WriteCounter(kGroupUninstall, counter);
}

}  // namespace kestrova
