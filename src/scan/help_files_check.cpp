// Group 2: registered help files that are gone. Both help keys, in each registry view, feed
// one counter.
#include "platform/key_path.h"
#include "platform/registry.h"
#include "scan/registry_text.h"
#include "scan/scan_checks.h"
#include "scan/scan_groups.h"

namespace kestrova {

void ScanHelpFiles(ScanContext& scan) {
    // Both keys, then both again in the 32-bit view when the scan walks it.
    const std::vector<KeyPath> help =
        scan.ViewsOf({HKEY_LOCAL_MACHINE, L"\\SOFTWARE\\Microsoft\\Windows\\Help"});
    const std::vector<KeyPath> htmlHelp =
        scan.ViewsOf({HKEY_LOCAL_MACHINE, L"\\SOFTWARE\\Microsoft\\Windows\\HTML Help"});
    std::vector<KeyPath> keys;
    for (size_t view = 0; view < help.size(); ++view) {
        keys.push_back(help[view]);
        keys.push_back(htmlHelp[view]);
    }
    Registry registry(HKEY_LOCAL_MACHINE);
    int counter = 0;
    for (const KeyPath& key : keys) {
        if (!registry.OpenKey(key.path, false)) {
            continue;
        }
        std::vector<std::wstring> names;
        registry.GetValueNames(names);
        for (const std::wstring& name : names) {
            const std::wstring keyName = key.TextOf(name);
            scan.SetStatus(keyName);
            // Each value names a help file; its data is the folder that holds it.
            const std::optional<std::wstring> folder = ReadTextData(registry, name);
            if (folder) {
                std::wstring path = *folder;
                if (!path.empty() && path.back() != L'\\') {
                    path += L'\\';
                }
                path += name;
                std::wstring guess;
                // A bare name (no folder given) is also looked for in the Windows Help folder.
                if (scan.Targets().Missing(path, guess, FileKind::Help)) {
                    scan.ReportError(L"Help File", keyName, path, counter, guess);
                }
            }
            // A stop ends this key only; the next key is still begun.
            if (scan.StopRequested()) {
                break;
            }
        }
    }
    scan.WriteCounter(kGroupHelpFiles, counter);
}

}  // namespace kestrova
