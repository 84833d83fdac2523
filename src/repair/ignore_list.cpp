#include "repair/ignore_list.h"

#include "repair/value_encoding.h"
#include "scan/key_names.h"

namespace kestrova {

IgnoreList::IgnoreList(XmlDocument& ignoreList, StoreSaver save)
    : ignoreList_(ignoreList), save_(std::move(save)) {}

std::vector<IgnoreEntry> IgnoreList::Entries() const {
    std::vector<IgnoreEntry> entries;
    const auto lock = ignoreList_.Lock();
    const XmlElement root = ignoreList_.Root();
    const size_t count = root.Valid() ? root.ChildCount() : 0;
    for (size_t i = 0; i < count; ++i) {
        const XmlElement entry = root.Child(i);
        entries.push_back({entry.AttributeText(kIgnoreRootAttribute),
                           entry.AttributeText(kIgnoreKeyAttribute),
                           entry.AttributeText(kIgnoreValueAttribute)});
    }
    return entries;
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
    return result;
}

std::optional<std::wstring> IgnoreList::Remove(const std::vector<size_t>& entries) {
    if (entries.empty()) {
        return std::nullopt;
    }
    const auto lock = ignoreList_.Lock();
    XmlElement root = ignoreList_.Root();
    std::vector<bool> chosen(root.ChildCount(), false);
    for (size_t index : entries) {
        if (index < chosen.size()) {
            chosen[index] = true;
        }
    }
    for (size_t i = chosen.size(); i-- > 0;) {
        if (chosen[i]) {
            root.DeleteChild(i);
        }
    }
    return TrySave(save_);
}

}  // namespace kestrova
