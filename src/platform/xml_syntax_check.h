#pragma once
// Where and why an XML text is not well-formed, in the words of MSXML's SAX reader. The DOM
// loader of some MSXML builds (Wine's) reports a failed parse without reason or position;
// the SAX reader over the same text does give both.

#include <windows.h>
#include <objidl.h>

#include <optional>
#include <string>

namespace kestrova {

struct XmlSyntaxProblem {
    std::wstring reason;
    long line = 0;    // 1-based; 0 when unknown
    long column = 0;  // as the reader counts it
};

// Parses the stream from its start and returns the reader's first complaint, if any.
std::optional<XmlSyntaxProblem> CheckXmlSyntax(IStream* stream);

}  // namespace kestrova
