#include "managers/ie_addons_delete.h"

#include "managers/ie_addons_places.h"
#include "platform/registry.h"
#include "repair/history_batch.h"
#include "repair/snapshot_records.h"

namespace kestrova {

namespace {

// One key (with its tree) or one value that removing an add-on deletes.
struct Target {
    KeyPath parent;
    std::wstring name;
    bool isKey = false;

    std::wstring Text() const { return parent.TextOf(name); }
};

// What removing the row deletes, in the order recorded and deleted.
std::vector<Target> TargetsOf(const AddonRow& row) {
    std::vector<Target> targets;
    const bool singleName = IsSingleKeyName(row.keyName);
    const KeyPath& registration = AddonRegistrationKey(row.kind);
    switch (row.kind) {
        case AddonKind::MenuExtension:
            if (singleName) {
                targets.push_back({registration, row.keyName, true});
            }
            return targets;
        case AddonKind::DownloadHandler:
        case AddonKind::ToolbarAllUsers:
        case AddonKind::ToolbarCurrentUser:
            if (singleName) {
                targets.push_back({kClassesKey, row.keyName, true});
            }
            targets.push_back(
                {registration,
                 row.kind == AddonKind::DownloadHandler ? kDownloadUiValue : row.keyName, false});
            return targets;
        case AddonKind::BrowserExtension:
        case AddonKind::ExplorerBarAllUsers:
        case AddonKind::ExplorerBarCurrentUser:
            break;
    }
    if (singleName) {
        targets.push_back({kClassesKey, row.keyName, true});
        targets.push_back({registration, row.keyName, true});
    }
    return targets;
}

bool Record(XmlElement entry, const Target& target) {
    return target.isKey
               ? RecordKeyTree(entry, target.parent.root, target.parent.Child(target.name).path)
               : RecordSingleValue(entry, target.parent.root, target.parent.path, target.name);
}

bool StillThere(const Target& target) {
    Registry registry(target.parent.root);
    if (target.isKey) {
        return registry.KeyExists(target.parent.Child(target.name).path);
    }
    return registry.OpenKeyReadOnly(target.parent.path) && registry.ValueExists(target.name);
}

// Deletes the target inside its parent key; a parent that cannot be opened is left alone,
// since a relative name would then start at the root. False when the target stayed.
bool Delete(const Target& target) {
    Registry registry(target.parent.root);
    if (registry.OpenKey(target.parent.path, false)) {
        if (target.isKey) {
            registry.DeleteKey(target.name);
        } else {
            registry.DeleteValue(target.name);
        }
    }
    return !StillThere(target);
}

}  // namespace

bool DeleteClsidKey(const std::wstring& clsid) {
    if (!IsSingleKeyName(clsid)) {
        return true;
    }
    return Delete({kClassesKey, clsid, true});
}

AddonDeleteResult DeleteCheckedAddons(XmlDocument& history, const StoreSaver& save,
                                      const std::vector<AddonRow>& rows) {
    AddonDeleteResult result;
    if (rows.empty()) {
        return result;
    }
    HistoryBatch batch(history);
    struct Planned {
        size_t outcome;
        std::vector<Target> targets;
    };
    std::vector<Planned> planned;
    for (size_t i = rows.size(); i-- > 0;) {
        const AddonRow& row = rows[i];
        XmlElement entry = batch.Append(row.name, row.type, row.path);
        if (const std::optional<std::wstring> message = AddonProtectedMessage(row)) {
            result.outcomes.push_back({i, AddonDeleteStatus::Protected, *message});
            continue;
        }
        std::vector<Target> targets = TargetsOf(row);
        bool complete = true;
        for (const Target& target : targets) {
            complete = Record(entry, target) && complete;
        }
        if (!complete) {
            batch.DropLast();
            result.outcomes.push_back({i, AddonDeleteStatus::NotRecorded,
                                       L"Not deleted: what it holds could not be recorded"});
            continue;
        }
        planned.push_back({result.outcomes.size(), std::move(targets)});
        result.outcomes.push_back({i, AddonDeleteStatus::Deleted, L""});
    }

    if (batch.Empty()) {
        return result;
    }
    if (auto error = batch.Save(save)) {
        for (const Planned& item : planned) {
            result.outcomes[item.outcome].status = AddonDeleteStatus::NotSaved;
        }
        result.saveError = std::move(error);
        return result;
    }

    for (const Planned& item : planned) {
        AddonDeleteOutcome& outcome = result.outcomes[item.outcome];
        for (const Target& target : item.targets) {
            if (!Delete(target)) {
                outcome.status = AddonDeleteStatus::NotDeleted;
                outcome.message +=
                    (outcome.message.empty() ? L"Still there: " : L", ") + target.Text();
            }
        }
    }
    return result;
}

}  // namespace kestrova
