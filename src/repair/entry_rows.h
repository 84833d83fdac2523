#pragma once
// The rows a list view shows for the entries of a store document (the ignore list, the
// restore history).

#include <functional>
#include <string>
#include <vector>

#include "platform/list_model.h"
#include "platform/xml_document.h"

namespace kestrova {

// The cells of one entry's row, caption first.
using EntryCells = std::function<std::vector<std::wstring>(const XmlElement& entry)>;

// Rebuilds rows under the document's lock: one unchecked row per entry of the root, in
// document order, holding the cells cellsOf gives. A document without a root gives no rows.
// What cellsOf throws ends the walk; the rows before that entry stay.
void FillEntryRows(const XmlDocument& document, TextRows& rows, const EntryCells& cellsOf);

}  // namespace kestrova
