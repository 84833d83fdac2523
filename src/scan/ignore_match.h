#pragma once
// Whether the ignore list suppresses an error: an entry matches the Key Name that its ROOT,
// KEY and VALUE attributes give when joined with "\", compared exactly and case-sensitively.

#include <string>

#include "platform/xml_document.h"

namespace kestrova {

// Walks the entries (the children of the document's root) in document order under the
// document's lock, so the window thread can change the list during a scan. A document
// without a root has no entries. An entry lacking one of the three attributes throws
// XmlError: the list was edited by hand and cannot be trusted.
bool IgnoreListMatches(const XmlDocument& ignoreList, const std::wstring& keyName);

}  // namespace kestrova
