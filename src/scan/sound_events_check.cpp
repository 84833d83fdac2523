// Group 9: sounds of application events whose sound file is gone. The walk is three levels
// deep (application, event, ".Current"/".Default") and has no stop test: a stop takes effect
// after the group.
#include <array>

#include "platform/key_path.h"
#include "platform/registry.h"
#include "scan/registry_text.h"
#include "scan/scan_checks.h"
#include "scan/scan_groups.h"

namespace kestrova {

void ScanSoundEvents(ScanContext& scan) {
    const std::wstring key = L"\\AppEvents\\Schemes\\Apps";
    const std::array<const wchar_t*, 2> schemes = {L".Current", L".Default"};
    Registry registry(HKEY_CURRENT_USER);
    if (!registry.OpenKey(key, false)) {
        return;
    }
    int counter = 0;
    if (registry.HasSubKeys()) {
        std::vector<std::wstring> apps;
        registry.GetKeyNames(apps);
        for (const std::wstring& app : apps) {
            registry.CloseKey();
            const std::wstring appKey = key + L"\\" + app;
            if (!registry.OpenKeyReadOnly(appKey) || !registry.HasSubKeys()) {
                continue;
            }
            std::vector<std::wstring> events;
            registry.GetKeyNames(events);
            for (const std::wstring& event : events) {
                for (const wchar_t* scheme : schemes) {
                    const std::wstring path = appKey + L"\\" + event + L"\\" + scheme;
                    const std::wstring keyName = KeyPath{HKEY_CURRENT_USER, path}.Text();
                    scan.SetStatus(keyName);
                    if (!registry.OpenKeyReadOnly(path)) {
                        continue;
                    }
                    const std::optional<std::wstring> sound = ReadTextData(registry, L"");
                    std::wstring guess;
                    // A bare name is also looked for in the Windows Media folder.
                    if (sound && scan.Targets().Missing(*sound, guess, FileKind::Sound)) {
                        scan.ReportError(L"Sound AppEvent", keyName, *sound, counter, guess);
                    }
                }
            }
        }
    }
    scan.WriteCounter(kGroupSoundEvents, counter);
}

}  // namespace kestrova
