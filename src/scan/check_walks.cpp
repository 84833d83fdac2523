#include "scan/check_walks.h"

#include <optional>
#include <vector>

#include "platform/registry.h"
#include "scan/registry_text.h"

namespace kestrova {

void WalkKeys(ScanContext& scan, const std::vector<KeyPath>& keys, int group, const int& counter,
              const KeyWalk& walk) {
    bool opened = false;
    for (size_t index = 0; index < keys.size(); ++index) {
        Registry registry(keys[index].root);
        if (!registry.OpenKey(keys[index].path, false)) {
            continue;
        }
        opened = true;
        if (!walk(registry, keys[index], index)) {
            return;
        }
    }
    if (opened) {
        scan.WriteCounter(group, counter);
    }
}

void WalkValueNames(ScanContext& scan, const std::vector<KeyPath>& keys, int group,
                    const ValueNameJudge& judge) {
    int counter = 0;
    WalkKeys(scan, keys, group, counter, [&](Registry& registry, const KeyPath& walked, size_t) {
        std::vector<std::wstring> names;
        registry.GetValueNames(names);
        for (const std::wstring& name : names) {
            const std::wstring keyName = walked.TextOf(name);
            scan.SetStatus(keyName);
            judge(name, keyName, counter);
            if (scan.StopRequested()) {
                return false;
            }
        }
        return true;
    });
}

void WalkSubKeyFiles(ScanContext& scan, const SubKeyFileWalk& walk) {
    int counter = 0;
    const std::vector<KeyPath> keys = scan.ViewsOf({HKEY_LOCAL_MACHINE, walk.key});
    WalkKeys(
        scan, keys, walk.group, counter, [&](Registry& registry, const KeyPath& walked, size_t) {
            std::vector<std::wstring> names;
            registry.GetKeyNames(names);
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
                    return false;
                }
            }
            return true;
        });
}

}  // namespace kestrova
