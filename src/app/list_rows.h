#pragma once
// The rows the window's lists start with or are rebuilt to, made from plain data.

#include "platform/list_model.h"
#include "platform/xml_document.h"

namespace kestrova {

// Clears the scan-group rows and adds the thirteen groups in index order, each checked, with
// image 0 and "0" in its "Errors" cell.
void FillScanGroupRows(TextRows& rows);

// Clears the rows, then adds one unchecked row per child element of the ignore list's root,
// in document order: caption ROOT, then KEY and VALUE. An entry that lacks one of the three
// attributes throws XmlError; the rows before it stay.
void FillIgnoreRows(const XmlDocument& ignoreList, TextRows& rows);

}  // namespace kestrova
