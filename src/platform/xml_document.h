#pragma once
// An XML document held in memory over the platform's MSXML 6 DOM.
//
// The document may be used from several threads at once (the scan's worker reads the ignore
// list while the window thread changes it): every operation takes the document's own lock.
// A caller that needs several operations to see one state (walking all children, say) holds
// Lock() around them. Each thread that uses a document must have COM initialised.

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/error.h"

namespace kestrova {

// Load and save failures; the message names the file and the reason.
class XmlError : public Error {
public:
    explicit XmlError(const std::wstring& message) : Error(message) {}
};

struct XmlDocumentState;  // the COM document and the lock, shared with element handles
struct XmlNodeHandle;     // one COM element and where its last child lookup ended

// A handle to one element of a document. Cheap to copy; valid while its document lives.
class XmlElement {
public:
    XmlElement() = default;

    bool Valid() const { return node_ != nullptr; }
    std::wstring Tag() const;

    // Child elements only (comments, text and processing instructions are not counted).
    size_t ChildCount() const;
    // The child element at a 0-based index in document order; throws std::out_of_range.
    XmlElement Child(size_t index) const;
    // Appends a new element as the last child and returns it for filling.
    XmlElement AppendChild(const std::wstring& tag);
    void DeleteChild(size_t index);
    // Empties the element: its child elements and any comments or text between them.
    void DeleteAllChildren();

    void SetAttribute(const std::wstring& name, const std::wstring& value);
    // The attribute's text, or no value when the element does not carry it.
    std::optional<std::wstring> Attribute(const std::wstring& name) const;
    // The attribute's text; throws XmlError naming the element and attribute when missing.
    std::wstring AttributeText(const std::wstring& name) const;
    size_t AttributeCount() const;

    // --- Every attribute, for copying an element into another document ---
    // The attributes' names and texts in document order.
    std::vector<std::pair<std::wstring, std::wstring>> Attributes() const;

private:
    friend class XmlDocument;
    XmlElement(std::shared_ptr<XmlDocumentState> state, std::shared_ptr<XmlNodeHandle> node);

    // The state outlives the node: the node's release takes the document's lock.
    std::shared_ptr<XmlDocumentState> state_;
    std::shared_ptr<XmlNodeHandle> node_;
};

class XmlDocument {
public:
    XmlDocument();
    ~XmlDocument();
    XmlDocument(const XmlDocument&) = delete;
    XmlDocument& operator=(const XmlDocument&) = delete;

    // Replaces the document with the parsed file; throws XmlError (file and reason).
    void Load(const std::wstring& path);
    // Replaces the document with an empty one whose root element has the given tag.
    void Create(const std::wstring& rootTag);
    // The root element; invalid before Load or Create.
    XmlElement Root() const;
    // Writes the whole document beside the target and then replaces the target in one step,
    // so an interrupted save never leaves a truncated file. Throws XmlError.
    void Save(const std::wstring& path) const;

    // A count that rises with every change made through this document or its elements
    // (Load, Create, children appended or deleted, attributes set), and with nothing else.
    // A reader that keeps something worked out from the document compares it, under Lock(),
    // with the count it worked from.
    uint64_t Revision() const;

    std::unique_lock<std::recursive_mutex> Lock() const;

private:
    std::shared_ptr<XmlDocumentState> state_;
};

}  // namespace kestrova
