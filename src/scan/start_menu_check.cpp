// Group 5: Start menu order entries left behind. Explorer keeps one order key per Start menu
// folder; an entry without subkeys of its own is taken as obsolete.
#include <array>

#include "platform/key_path.h"
#include "platform/registry.h"
#include "scan/scan_checks.h"
#include "scan/scan_groups.h"

namespace kestrova {

void ScanStartMenuOrder(ScanContext& scan) {
    const std::array<std::wstring, 2> keys = {
        L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\Start "
        L"Menu2\\Programs",
        L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\Start "
        L"Menu\\Programs"};
    Registry registry(HKEY_CURRENT_USER);
    int counter = 0;
    for (const std::wstring& key : keys) {
        if (!registry.OpenKey(key, false)) {
            continue;
        }
        std::vector<std::wstring> names;
        registry.GetKeyNames(names);
        for (const std::wstring& name : names) {
            registry.CloseKey();
            // An entry that does not open counts as one without subkeys.
            registry.OpenKey(key + L"\\" + name, false);
            if (!registry.HasSubKeys()) {
                scan.ReportError(L"Start Menu", KeyPath{HKEY_CURRENT_USER, key}.TextOf(name), name,
                                 counter, L"{null value}");
            }
            // A stop ends this key only; the next key is still begun.
            if (scan.StopRequested()) {
                break;
            }
        }
    }
    // Written after a stop too.
    scan.WriteCounter(kGroupStartMenu, counter);
}

}  // namespace kestrova
