// Group 8: approved shell extensions whose in-process server is gone. The list of approved
// classes is under HKEY_LOCAL_MACHINE; each class's server under HKEY_CLASSES_ROOT.
#include "platform/key_path.h"
#include "scan/check_walks.h"
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
    const KeyPath classes{HKEY_CLASSES_ROOT, L"\\CLSID"};
    const std::vector<std::wstring> classKeys = {classes.path,
                                                 Wow64PathOf(classes.root, classes.path)};
    int counter = 0;
    WalkKeys(scan, lists, kGroupShellExtensions, counter,
             [&](Registry& registry, const KeyPath& list, size_t view) {
                 std::vector<std::wstring> names;
                 registry.GetValueNames(names);
                 for (const std::wstring& name : names) {
                     registry.SetRootKey(HKEY_CLASSES_ROOT);
                     // A class that is not registered has no server to test; no stop test
                     // either.
                     if (!registry.OpenKey(classKeys[view] + L"\\" + name + L"\\InprocServer32",
                                           false)) {
                         continue;
                     }
                     const std::optional<std::wstring> server = ReadTextData(registry, L"");
                     std::wstring guess;
                     if (server && scan.Targets().Missing(*server, guess)) {
                         // The row names the approved-list entry, not the class key.
                         scan.ReportError(L"Shell Extensions", list.TextOf(name), *server, counter,
                                          guess);
                     }
                     if (scan.StopRequested()) {
                         return false;
                     }
                 }
                 return true;
             });
}

}  // namespace kestrova
