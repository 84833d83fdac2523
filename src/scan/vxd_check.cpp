// Group 12: legacy device drivers whose driver file is gone. Its rows bypass the ignore list
// and start unchecked, so a fix of all checked rows leaves them; the counter is written with
// every row, and the group has no stop test.
#include "platform/key_path.h"
#include "platform/registry.h"
#include "scan/registry_text.h"
#include "scan/scan_checks.h"
#include "scan/scan_groups.h"
#include "scan/system_folders.h"

namespace kestrova {

void ScanVxd(ScanContext& scan) {
    const KeyPath key{HKEY_LOCAL_MACHINE, L"\\SYSTEM\\CurrentControlSet\\Services\\VXD"};
    int count = 0;
    scan.WriteCounter(kGroupVxd, count);
    Registry registry(HKEY_LOCAL_MACHINE);
    if (!registry.OpenKey(key.path, false)) {
        return;
    }
    std::vector<std::wstring> names;
    registry.GetKeyNames(names);
    const std::wstring systemFolder = SystemFolder();
    for (const std::wstring& name : names) {
        const KeyPath entry = key.Child(name);
        const std::wstring keyName = entry.Text();
        scan.SetStatus(keyName);
        // A driver key that does not open is taken as one without a driver file.
        const std::optional<std::wstring> driver =
            registry.OpenKey(entry.path, false) ? ReadTextData(registry, L"StaticVxD")
                                                : std::optional<std::wstring>(std::wstring());
        if (driver) {
            // An empty name leaves the system folder itself, which is no file: reported too. A
            // file the system cannot check right now is not.
            const std::wstring file = systemFolder + *driver;
            const ProbeAnswer answer = scan.Targets().Probe().Probe(file);
            if (answer == ProbeAnswer::Missing || answer == ProbeAnswer::Folder) {
                scan.AddRow(ErrorRow{L"VxD Error", keyName, *driver, file, false, kDriverRowImage});
                scan.WriteCounter(kGroupVxd, ++count);
            }
        }
        registry.CloseKey();
    }
}

}  // namespace kestrova
