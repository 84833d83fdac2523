// Group 11: extensions Explorer keeps settings for that are not registered as file types.
#include "platform/key_path.h"
#include "platform/registry.h"
#include "scan/key_names.h"
#include "scan/scan_checks.h"
#include "scan/scan_groups.h"

namespace kestrova {

void ScanFileExtensions(ScanContext& scan) {
    const KeyPath key{HKEY_CURRENT_USER,
                      L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts"};
    Registry registry(HKEY_CURRENT_USER);
    if (!registry.OpenKey(key.path, false)) {
        return;
    }
    std::vector<std::wstring> extensions;
    registry.GetKeyNames(extensions);
    int counter = 0;
    for (const std::wstring& extension : extensions) {
        // Key names are matched without regard to letter case, so ".TXT" finds ".txt".
        if (!KeyExistsUnder(HKEY_CLASSES_ROOT, extension)) {
            scan.ReportError(L"File Extensions", key.TextOf(extension), L"", counter, L"");
        }
        if (scan.StopRequested()) {
            return;
        }
    }
    scan.WriteCounter(kGroupFileExtensions, counter);
}

}  // namespace kestrova
