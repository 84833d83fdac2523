#include "scan/check_walks.h"

#include <optional>
#include <vector>

#include "platform/registry.h"
#include "scan/registry_text.h"
#include "scan/target_missing.h"

namespace kestrova {

void WalkValueNames(ScanContext& scan, const std::wstring& key, int group,
                    const ValueNameJudge& judge) {
    Registry registry(HKEY_LOCAL_MACHINE);
    if (!registry.OpenKey(key, false)) {
        return;
    }
    std::vector<std::wstring> names;
    registry.GetValueNames(names);
    int counter = 0;
    for (const std::wstring& name : names) {
        const std::wstring keyName = L"HKEY_LOCAL_MACHINE" + key + L"\\" + name;
        scan.SetStatus(keyName);
        judge(name, keyName, counter);
        if (scan.StopRequested()) {
            return;
        }
    }
    scan.WriteCounter(group, counter);
}

void WalkSubKeyFiles(ScanContext& scan, const SubKeyFileWalk& walk) {
    Registry registry(HKEY_LOCAL_MACHINE);
    if (!registry.OpenKey(walk.key, false)) {
        return;
    }
    std::vector<std::wstring> names;
    registry.GetKeyNames(names);
    int counter = 0;
    for (const std::wstring& name : names) {
        const std::wstring subKey = walk.key + L"\\" + name;
        scan.SetStatus(L"HKEY_LOCAL_MACHINE" + subKey);
        if (!registry.OpenKey(subKey, false)) {
            if (walk.unopened == UnopenedSubKey::EndsTheGroup) {
                return;
            }
            continue;
        }
        const std::optional<std::wstring> file = ReadTextData(registry, walk.valueName);
        std::wstring guess;
        if (file && TargetMissing(*file, guess)) {
            const std::wstring keyName =
                L"HKEY_LOCAL_MACHINE" + subKey +
                (walk.valueName.empty() ? std::wstring() : L"\\" + walk.valueName);
            scan.ReportError(walk.errorType, keyName, *file, counter, guess);
        }
        if (scan.StopRequested()) {
            return;
        }
    }
    scan.WriteCounter(walk.group, counter);
}

}  // namespace kestrova
