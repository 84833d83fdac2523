#pragma once
// The ignore list's composed Key Names (ROOT + "\" + KEY + "\" + VALUE of each entry) in a
// hash set, so that a scan reporting thousands of rows does not walk every entry through
// the XML parser for each of them. The set is built again only when the document changed.

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_set>

#include "platform/xml_document.h"

namespace kestrova {

// Belongs to one thread (the scan's); the document itself may be changed by any thread.
class IgnoreListIndex {
public:
    explicit IgnoreListIndex(const XmlDocument& ignoreList) : ignoreList_(ignoreList) {}

    // Whether an entry's composed name equals keyName, exactly and case-sensitively, as of
    // the document's state when called. Answers as a walk of the entries in document order
    // that stops at the first equal one would: a document without a root has no entries,
    // and an entry lacking one of the three attributes throws XmlError unless an entry
    // before it matched.
    bool Matches(const std::wstring& keyName);

private:
    // Under the document's lock. On failure the index is left marked stale.
    void Rebuild();

    const XmlDocument& ignoreList_;
    std::optional<uint64_t> revision_;         // the document's revision the names were taken from
    std::unordered_set<std::wstring> names_;   // of the entries before the first broken one
    std::optional<std::wstring> brokenEntry_;  // why the first broken entry failed, if any
};

}  // namespace kestrova
