// Group 3: installed fonts whose file is gone.
#include "platform/key_path.h"
#include "platform/registry.h"
#include "scan/registry_text.h"
#include "scan/scan_checks.h"
#include "scan/scan_groups.h"
#include "scan/windows_version.h"

namespace kestrova {

std::wstring FontsKeyPath(int windowsVersionClass) {
    if (windowsVersionClass >= 1 && windowsVersionClass <= 3) {
        return L"\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Fonts";
    }
    return L"\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
}

void ScanFonts(ScanContext& scan) {
    const KeyPath key{HKEY_LOCAL_MACHINE, FontsKeyPath(WindowsVersionClass())};
    const std::wstring& fontsFolder = scan.Targets().Places().fonts;
    Registry registry(HKEY_LOCAL_MACHINE);
    // A font key that does not open lists no values: the group ends with a count of 0.
    registry.OpenKey(key.path, false);
    std::vector<std::wstring> names;
    registry.GetValueNames(names);
    int counter = 0;
    for (const std::wstring& name : names) {
        const std::wstring keyName = key.TextOf(name);
        scan.SetStatus(keyName);
        const std::optional<std::wstring> data = ReadTextData(registry, name);
        if (data) {
            // A bare file name lies in the system's Fonts folder, wherever Windows is.
            const std::wstring path =
                data->find_first_of(L"\\:") == std::wstring::npos ? fontsFolder + *data : *data;
            std::wstring guess;
            if (scan.Targets().Missing(path, guess)) {
                scan.ReportError(L"Font File", keyName, path, counter, guess);
            }
        }
        // A stop ends the walk, and the count found so far is written.
        if (scan.StopRequested()) {
            break;
        }
    }
    scan.WriteCounter(kGroupFonts, counter);
}

}  // namespace kestrova
