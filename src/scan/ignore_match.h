#pragma once
// Whether the ignore list suppresses an error: an entry matches the Key Name that its ROOT,
// KEY and VALUE attributes give when joined with "\", compared exactly and case-sensitively.

#include <string>

#include "platform/xml_document.h"

namespace kestrova {

// One lookup over the entries (the children of the document's root) in document order, as
// IgnoreListIndex answers it; a caller asking many times keeps an IgnoreListIndex instead. A
// document without a root has no entries. An entry lacking one of the three attributes
// throws XmlError unless an entry before it matched: the list was edited by hand and cannot
// be trusted.
bool IgnoreListMatches(const XmlDocument& ignoreList, const std::wstring& keyName);

}  // namespace kestrova
