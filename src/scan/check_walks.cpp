#include "scan/check_walks.h"

#include <optional>
#include <vector>

#include "platform/key_path.h"
#include "platform/registry.h"
#include "scan/registry_text.h"

namespace kestrova {

void WalkValueNames(ScanContext& scan, const std::wstring& key, int group,
                    const ValueNameJudge& judge) {
    Registry registry(HKEY_LOCAL_MACHINE);
    if (!registry.OpenKey(key, false)) {
        return;
    }
    std::vector<std::wstring> names;
    registry.GetValueNames(names);
    const KeyPath walked{HKEY_LOCAL_MACHINE, key};
    int counter = 0;
    for (const std::wstring& name : names) {
        const std::wstring keyName = walked.TextOf(name);
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
    const KeyPath walked{HKEY_LOCAL_MACHINE, walk.key};
    int counter = 0;
    for (const std::wstring& name : names) {
        const KeyPath entry = walked.Child(name);
        scan.SetStatus(entry.Text());
        // One entry that cannot be read says nothing about the others.
        if (!registry.OpenKey(entry.path, false)) {
            continue;
        }
        const std::optional<std::wstring> file = ReadTextData(registry, walk.valueName);
        std::wstring guess;
        if (file && scan.Targets().Missing(*file, guess)) {
            const std::wstring keyName =
                walk.valueName.empty() ? entry.Text() : entry.TextOf(walk.valueName);
            scan.ReportError(walk.errorType, keyName, *file, counter, guess);
        }
        if (scan.StopRequested()) {
            return;
        }
    }
    scan.WriteCounter(walk.group, counter);
}

}  // namespace kestrova
