#pragma once
// How a section writes its store (Backup.xml, ignore.xml) after a change: the window passes
// the store's own save, tests a plain save to a file.

#include <functional>
#include <optional>
#include <string>

#include "platform/xml_document.h"

namespace kestrova {

// Writes the whole document to its file in one step; throws XmlError when it cannot.
using StoreSaver = std::function<void()>;

// A saver that writes the document to path (XmlDocument::Save replaces the file atomically).
inline StoreSaver SaveDocumentTo(const XmlDocument& document, std::wstring path) {
    return [&document, path = std::move(path)] { document.Save(path); };
}

// Runs the saver; the failure's message, or none when the file was written.
inline std::optional<std::wstring> TrySave(const StoreSaver& save) {
    try {
        save();
    } catch (const XmlError& error) {
        return error.message();
    }
    return std::nullopt;
}

}  // namespace kestrova
