#include "repair/fix_errors.h"

#include <algorithm>
#include <cwctype>

#include "platform/registry.h"
#include "repair/history_batch.h"
#include "repair/snapshot_records.h"
#include "scan/key_names.h"

namespace kestrova {

namespace {

constexpr wchar_t kSharedDllsType[] = L"Shared DLLs";
constexpr wchar_t kSharedDllsKey[] = L"\\SharedDlls\\";

// Position just after the first "\SharedDlls\" in the Key Name (any case), or npos.
size_t AfterSharedDllsKey(const std::wstring& keyName) {
    const std::wstring key = kSharedDllsKey;
    const auto found =
        std::search(keyName.begin(), keyName.end(), key.begin(), key.end(),
                    [](wchar_t a, wchar_t b) { return std::towlower(a) == std::towlower(b); });
    return found == keyName.end() ? std::wstring::npos
                                  : static_cast<size_t>(found - keyName.begin()) + key.size();
}

// The value name of a Shared DLLs row: the file path that ends its Key Name, which may hold
// "\" of its own. Everything after the SharedDlls key is that path, whatever its form (drive,
// network, "\\?\" prefix); without that key in the name, the path starts at the drive letter
// before the first ":\".
std::wstring SharedDllValueName(const std::wstring& keyName) {
    const size_t afterKey = AfterSharedDllsKey(keyName);
    if (afterKey != std::wstring::npos) {
        return keyName.substr(afterKey);
    }
    const size_t drive = keyName.find(L":\\");
    if (drive != std::wstring::npos && drive > 0) {
        return keyName.substr(drive - 1);
    }
    return KeyNameLeaf(keyName);
}

// Deletes what the target names; false when it stayed (or was not there to delete).
bool DeleteTarget(const FixTarget& target) {
    Registry registry(target.root);
    // Without the parent open, a relative path would start at the root: touch nothing.
    if (!registry.OpenKey(target.keyPath, false)) {
        return false;
    }
    return target.isKey ? registry.DeleteKey(target.name) : registry.DeleteValue(target.name);
}

}  // namespace

bool FixTargetAllowed(const FixRow& row, const FixTarget& target) {
    const std::wstring rootText = row.keyName.substr(0, row.keyName.find(L'\\'));
    if (RootKeyName(target.root) != rootText) {
        return false;  // an unknown root text would otherwise fall to HKEY_CLASSES_ROOT
    }
    const std::wstring key = target.isKey ? target.keyPath + L"\\" + target.name : target.keyPath;
    return KeyPathLevels(key) >= 2;
}

namespace {

void AppendRows(std::wstring& text, const std::vector<size_t>& indices,
                const std::vector<FixRow>& rows, const wchar_t* what) {
    constexpr size_t kListed = 20;
    if (indices.empty()) {
        return;
    }
    text += (text.empty() ? L"" : L"\n\n") + std::to_wstring(indices.size()) + L" " + what + L":";
    for (size_t i = 0; i < indices.size() && i < kListed; ++i) {
        text += L"\n- " + rows[indices[i]].keyName;
    }
    if (indices.size() > kListed) {
        text += L"\n... and " + std::to_wstring(indices.size() - kListed) + L" more.";
    }
}

}  // namespace

std::wstring FixSummaryText(const FixResult& result, const std::vector<FixRow>& rows) {
    if (result.saveError) {
        return L"Nothing was fixed: the restore history could not be saved.\n\n" +
               *result.saveError;
    }
    std::wstring text;
    AppendRows(text, result.notRecorded, rows,
               L"entries could not be recorded exactly and were left alone");
    AppendRows(text, result.refused, rows,
               L"entries name a root or a top-level key and were left alone");
    AppendRows(text, result.notDeleted, rows,
               L"entries were recorded but could not be deleted (already gone, or refused)");
    return text;
}

FixTarget FixTargetOf(const FixRow& row) {
    const std::wstring& keyName = row.keyName;
    FixTarget target;
    target.root = KeyNameRoot(keyName);
    const std::wstring parent = KeyNameParent(keyName);
    const std::wstring leaf = KeyNameLeaf(keyName);
    // A Key Name ending in "\" names the key's default value, never the key itself.
    if (!leaf.empty() && KeyExistsUnder(target.root, parent + L"\\" + leaf)) {
        target.isKey = true;
        target.keyPath = parent;
        target.name = leaf;
        return target;
    }
    target.name = row.errorType == kSharedDllsType ? SharedDllValueName(keyName) : leaf;
    // What remains once the value name is cut off ends in "\": its parent is all of it from
    // the first "\" on, less that last one.
    const size_t cut = keyName.size() - std::min(target.name.size(), keyName.size());
    target.keyPath = KeyNameParent(keyName.substr(0, cut));
    return target;
}

FixResult FixErrors(XmlDocument& history, const StoreSaver& save, const std::vector<FixRow>& rows) {
    FixResult result;
    if (rows.empty()) {
        return result;
    }
    HistoryBatch batch(history);
    struct Planned {
        size_t row;
        FixTarget target;
    };
    std::vector<Planned> planned;
    planned.reserve(rows.size());
    for (size_t i = rows.size(); i-- > 0;) {
        const FixRow& row = rows[i];
        FixTarget target = FixTargetOf(row);
        if (!FixTargetAllowed(row, target)) {
            result.refused.push_back(i);
            continue;
        }
        XmlElement entry = batch.Append(row.errorType, row.keyName, row.guessPath);
        // The value alone, even the default one: never more than the fix deletes.
        const bool complete =
            target.isKey ? RecordKeyTree(entry, target.root, target.keyPath + L"\\" + target.name)
                         : RecordSingleValue(entry, target.root, target.keyPath, target.name);
        if (!complete) {
            batch.DropLast();
            result.notRecorded.push_back(i);
            continue;
        }
        planned.push_back({i, std::move(target)});
    }
    if (planned.empty()) {
        return result;
    }
    if (auto error = batch.Save(save)) {
        result.saveError = std::move(error);
        return result;
    }

    for (const Planned& item : planned) {
        if (!DeleteTarget(item.target)) {
            result.notDeleted.push_back(item.row);
        }
        result.handled.push_back(item.row);
    }
    return result;
}

}  // namespace kestrova
