#include "scan/check_walks.h"

#include <optional>
#include <vector>

#include "platform/registry.h"
#include "scan/registry_text.h"

namespace kestrova {

void WalkValueNames(ScanContext& scan, const std::vector<KeyPath>& keys, int group,
                    const ValueNameJudge& judge) {
    int counter = 0;
    bool opened = false;
    for (const KeyPath& walked : keys) {
        Registry registry(walked.root);
        if (!registry.OpenKey(walked.path, false)) {
            continue;
        }
        opened = true;
        std::vector<std::wstring> names;
        registry.GetValueNames(names);
        for (const std::wstring& name : names) {
            const std::wstring keyName = walked.TextOf(name);
            scan.SetStatus(keyName);
            judge(name, keyName, counter);
            if (scan.StopRequested()) {
                return;
            }
        }
    }
    if (opened) {
        scan.WriteCounter(group, counter);
    }
}

void WalkSubKeyFiles(ScanContext& scan, const SubKeyFileWalk& walk) {
    int counter = 0;
    bool opened = false;
    for (const KeyPath& walked : scan.ViewsOf({HKEY_LOCAL_MACHINE, walk.key})) {
        Registry registry(HKEY_LOCAL_MACHINE);
        if (!registry.OpenKey(walked.path, false)) {
            continue;
        }
        opened = true;
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
                return;
            }
        }
    }
    if (opened) {
        scan.WriteCounter(walk.group, counter);
    }
}

}  // namespace kestrova
