// Group 6: shared-library reference counts for libraries that are gone. Each value's name is
// the library's full path; its data (the count) is not read.
#include "platform/registry.h"
#include "scan/scan_checks.h"
#include "scan/scan_groups.h"
#include "scan/target_missing.h"

namespace kestrova {

void ScanSharedDlls(ScanContext& scan) {
    const std::wstring key = L"\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls";
    Registry registry(HKEY_LOCAL_MACHINE);
    if (!registry.OpenKey(key, false)) {
        return;
    }
    std::vector<std::wstring> names;
    registry.GetValueNames(names);
    int counter = 0;
    for (const std::wstring& name : names) {
        // The Key Name ends in a full file path, so it holds further "\".
        const std::wstring keyName = L"HKEY_LOCAL_MACHINE" + key + L"\\" + name;
        scan.SetStatus(keyName);
        std::wstring guess;
        if (TargetMissing(name, guess)) {
            scan.ReportError(L"Shared DLLs", keyName, name, counter, guess);
        }
        if (scan.StopRequested()) {
            return;
        }
    }
    scan.WriteCounter(kGroupSharedDlls, counter);
}

}  // namespace kestrova
