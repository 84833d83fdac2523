// Group 8: approved shell extensions whose in-process server is gone. The list of approved
// classes is under HKEY_LOCAL_MACHINE; each class's server under HKEY_CLASSES_ROOT.
#include "platform/key_path.h"
#include "platform/registry.h"
#include "scan/registry_text.h"
#include "scan/scan_checks.h"
#include "scan/scan_groups.h"

namespace kestrova {

void ScanShellExtensions(ScanContext& scan) {
    const KeyPath approved{
        HKEY_LOCAL_MACHINE,
        L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved"};
    Registry registry(HKEY_LOCAL_MACHINE);
    if (!registry.OpenKey(approved.path, false)) {
        return;
    }
    std::vector<std::wstring> names;
    registry.GetValueNames(names);
    int counter = 0;
    for (const std::wstring& name : names) {
        registry.SetRootKey(HKEY_CLASSES_ROOT);
        // A class that is not registered has no server to test; no stop test either.
        if (!registry.OpenKey(L"\\CLSID\\" + name + L"\\InprocServer32", false)) {
            continue;
        }
        const std::optional<std::wstring> server = ReadTextData(registry, L"");
        std::wstring guess;
        if (server && scan.Targets().Missing(*server, guess)) {
            // The row names the approved-list entry, not the class key.
            scan.ReportError(L"Shell Extensions", approved.TextOf(name), *server, counter, guess);
        }
        if (scan.StopRequested()) {
            return;
        }
    }
    scan.WriteCounter(kGroupShellExtensions, counter);
}

}  // namespace kestrova
