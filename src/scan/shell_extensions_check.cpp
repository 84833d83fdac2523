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
    // The views of the approved list, each with the classes of the same view: the 32-bit
    // Explorer approves 32-bit extensions, whose classes are registered under "Wow6432Node".
    const std::vector<KeyPath> lists = scan.ViewsOf(approved);
    const std::vector<KeyPath> classes = scan.ViewsOf({HKEY_CLASSES_ROOT, L"\\CLSID"});
    int counter = 0;
    bool opened = false;
    for (size_t view = 0; view < lists.size(); ++view) {
        Registry registry(HKEY_LOCAL_MACHINE);
        if (!registry.OpenKey(lists[view].path, false)) {
            continue;
        }
        opened = true;
        std::vector<std::wstring> names;
        registry.GetValueNames(names);
        for (const std::wstring& name : names) {
            registry.SetRootKey(HKEY_CLASSES_ROOT);
            // A class that is not registered has no server to test; no stop test either.
            if (!registry.OpenKey(classes[view].path + L"\\" + name + L"\\InprocServer32", false)) {
                continue;
            }
            const std::optional<std::wstring> server = ReadTextData(registry, L"");
            std::wstring guess;
            if (server && scan.Targets().Missing(*server, guess)) {
                // The row names the approved-list entry, not the class key.
                scan.ReportError(L"Shell Extensions", lists[view].TextOf(name), *server, counter,
                                 guess);
            }
            if (scan.StopRequested()) {
                return;
            }
        }
    }
    if (opened) {
        scan.WriteCounter(kGroupShellExtensions, counter);
    }
}

}  // namespace kestrova
