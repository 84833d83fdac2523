#pragma once
// How a section writes its store (Backup.xml, ignore.xml) after a change: the window and
// kestrova-cli pass the store's own save (SharedStore, merged with what other programs saved),
// tests may pass a plain save to a file.

#include <functional>
#include <optional>
#include <string>

#include "platform/xml_document.h"
#include "repair/shared_store.h"

namespace kestrova {

// Writes the whole document to its file in one step; throws XmlError when it cannot.
using StoreSaver = std::function<void()>;

// A saver for a store shared with other programs: merged with the file, then written.
inline StoreSaver SaverFor(SharedStore& store) {
    return [&store] { store.Save(); };
}

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
