#include "repair/ignore_list.h"

#include "repair/entry_rows.h"
#include "repair/value_encoding.h"
#include "scan/key_names.h"

namespace kestrova {

IgnoreList::IgnoreList(XmlDocument& ignoreList, StoreSaver save, TextRows& rows)
    : ignoreList_(ignoreList), save_(std::move(save)), rows_(rows) {}

void IgnoreList::Refresh() {
    FillEntryRows(ignoreList_, rows_, [](const XmlElement& entry) {
        return std::vector<std::wstring>{entry.AttributeText(kIgnoreRootAttribute),
                                         entry.AttributeText(kIgnoreKeyAttribute),
                                         entry.AttributeText(kIgnoreValueAttribute)};
    });
}

void IgnoreList::AppendEntry(const std::wstring& root, const std::wstring& key,
                             const std::wstring& value) {
    XmlElement entry = ignoreList_.Root().AppendChild(kIgnoreEntryTag);
    entry.SetAttribute(kIgnoreRootAttribute, root);
    entry.SetAttribute(kIgnoreKeyAttribute, key);
    entry.SetAttribute(kIgnoreValueAttribute, value);
}

IgnoreAddResult IgnoreList::Add(const std::wstring& root, const std::wstring& keyName,
                                const std::wstring& value) {
    IgnoreAddResult result;
    // A text the file cannot carry would make ignore.xml unreadable at the next start.
    if (root.empty() || keyName.empty() || value.empty() || !XmlCanCarry(root) ||
        !XmlCanCarry(keyName) || !XmlCanCarry(value)) {
        return result;
    }
    const auto lock = ignoreList_.Lock();
    AppendEntry(root, keyName, value);
    result.added = true;
    result.saveError = TrySave(save_);
    Refresh();
    return result;
}

IgnoreRowsResult IgnoreList::AddErrorRows(const std::vector<std::wstring>& keyNames) {
    IgnoreRowsResult result;
    const auto lock = ignoreList_.Lock();
    for (size_t i = keyNames.size(); i-- > 0;) {
        const std::wstring& keyName = keyNames[i];
        if (!XmlCanCarry(keyName)) {
            result.notAdded.push_back(i);
            continue;
        }
        const std::wstring parent = KeyNameParent(keyName);
        AppendEntry(keyName.substr(0, keyName.find(L'\\')),
                    parent.empty() ? parent : parent.substr(1), KeyNameLeaf(keyName));
        result.added.push_back(i);
    }
    result.saveError = TrySave(save_);
    Refresh();
    return result;
}

std::optional<std::wstring> IgnoreList::Remove() {
    if (rows_.RowCount() == 0) {
        return std::nullopt;
    }
    const auto lock = ignoreList_.Lock();
    XmlElement root = ignoreList_.Root();
    for (size_t i = rows_.RowCount(); i-- > 0;) {
        if (rows_.Checked(i) && i < root.ChildCount()) {
            root.DeleteChild(i);
        }
    }
    std::optional<std::wstring> saveError = TrySave(save_);
    Refresh();
    return saveError;
}

}  // namespace kestrova
