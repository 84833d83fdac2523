#include "platform/xml_document.h"

#include <windows.h>
#include <msxml2.h>
#include <objbase.h>
#include <shlwapi.h>

#include <cstdint>
#include <cwchar>

#include "platform/bstr.h"
#include "platform/com_ptr.h"
#include "platform/msxml_guids.h"
#include "platform/text.h"
#include "platform/unique_handles.h"
#include "platform/xml_syntax_check.h"

namespace kestrova {

// Every structural change (a child appended or deleted, a new document) adds one to
// `changes`. A node handle's child cache is right only while its `stamp` equals it; the
// handle that makes a change brings its own cache up to date, every other cache goes stale.
// Handles are compared by stamp, not by node identity, because MSXML may hand out several
// COM objects for one node.
// `revision` also counts attribute changes; it is kept apart from `changes` so that setting
// attributes while walking children by index does not throw the walk's position away.
struct XmlDocumentState {
    std::recursive_mutex mutex;
    ComPtr<IXMLDOMDocument2> document;
    std::shared_ptr<XmlNodeHandle> root;
    uint64_t changes = 1;
    uint64_t revision = 0;
};

struct XmlNodeHandle {
    XmlNodeHandle(std::recursive_mutex& documentMutex, ComPtr<IXMLDOMElement> node)
        : mutex(documentMutex), element(std::move(node)) {}
    // The release runs under the document's lock: a parser may tidy shared structures then.
    ~XmlNodeHandle() {
        std::lock_guard<std::recursive_mutex> lock(mutex);
        cachedChild.Reset();
        element.Reset();
    }
    XmlNodeHandle(const XmlNodeHandle&) = delete;
    XmlNodeHandle& operator=(const XmlNodeHandle&) = delete;

    std::recursive_mutex& mutex;
    ComPtr<IXMLDOMElement> element;

    // Where the last child lookup ended, so a walk by index costs one step per child.
    uint64_t stamp = 0;
    bool countKnown = false;
    size_t count = 0;
    size_t cachedIndex = 0;
    ComPtr<IXMLDOMNode> cachedChild;  // the element child at cachedIndex, or empty
};

namespace {

// The system's text with the code in hexadecimal: COM results read better that way.
std::wstring SystemMessage(DWORD code) {
    wchar_t hex[16];
    swprintf(hex, 16, L"0x%08lX", static_cast<unsigned long>(code));
    return SystemErrorText(code) + L" (" + hex + L")";
}

std::wstring Trimmed(std::wstring text) {
    const auto first = text.find_first_not_of(L" \t\r\n");
    if (first == std::wstring::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(L" \t\r\n") - first + 1);
}

// A failed DOM call other than load or save: a broken tag or attribute name, out of memory.
void Check(HRESULT hr, const wchar_t* what) {
    if (FAILED(hr)) {
        throw XmlError(std::wstring(L"XML ") + what + L" failed: " +
                       SystemMessage(static_cast<DWORD>(hr)));
    }
}

void CheckHandle(const std::shared_ptr<XmlNodeHandle>& node) {
    if (node == nullptr) {
        throw XmlError(L"XML element handle is empty");
    }
}

ComPtr<IXMLDOMDocument2> NewDocument() {
    ComPtr<IXMLDOMDocument2> document;
    // Free-threaded: the window thread (STA) and the scan worker (MTA) share the document.
    Check(CoCreateInstance(msxml::kFreeThreadedDomDocument60, nullptr, CLSCTX_INPROC_SERVER,
                           msxml::kIXMLDOMDocument2, reinterpret_cast<void**>(document.Put())),
          L"document creation");
    Check(document->put_async(VARIANT_FALSE), L"setup");
    Check(document->put_validateOnParse(VARIANT_FALSE), L"setup");
    Check(document->put_resolveExternals(VARIANT_FALSE), L"setup");
    // Indentation between elements must never turn into text children.
    Check(document->put_preserveWhiteSpace(VARIANT_FALSE), L"setup");
    // Our stores never carry a document type; refusing one also refuses outside entities.
    // Not every MSXML build knows the property, so a refusal is not an error.
    VARIANT prohibit;
    VariantInit(&prohibit);
    prohibit.vt = VT_BOOL;
    prohibit.boolVal = VARIANT_TRUE;
    document->setProperty(Bstr(L"ProhibitDTD").Get(), prohibit);
    return document;
}

std::shared_ptr<XmlNodeHandle> RootOf(XmlDocumentState& state, IXMLDOMDocument2* document) {
    ComPtr<IXMLDOMElement> root;
    Check(document->get_documentElement(root.Put()), L"root lookup");
    if (!root) {
        return nullptr;
    }
    return std::make_shared<XmlNodeHandle>(state.mutex, std::move(root));
}

bool IsElement(IXMLDOMNode* node) {
    DOMNodeType type = NODE_INVALID;
    return SUCCEEDED(node->get_nodeType(&type)) && type == NODE_ELEMENT;
}

ComPtr<IXMLDOMNode> NextElement(const ComPtr<IXMLDOMNode>& node) {
    ComPtr<IXMLDOMNode> current = node;
    while (current) {
        ComPtr<IXMLDOMNode> next;
        Check(current->get_nextSibling(next.Put()), L"child walk");
        current = std::move(next);
        if (current && IsElement(current.Get())) {
            break;
        }
    }
    return current;
}

ComPtr<IXMLDOMNode> PreviousElement(const ComPtr<IXMLDOMNode>& node) {
    ComPtr<IXMLDOMNode> current = node;
    while (current) {
        ComPtr<IXMLDOMNode> previous;
        Check(current->get_previousSibling(previous.Put()), L"child walk");
        current = std::move(previous);
        if (current && IsElement(current.Get())) {
            break;
        }
    }
    return current;
}

ComPtr<IXMLDOMNode> FirstElement(IXMLDOMElement* parent) {
    ComPtr<IXMLDOMNode> first;
    Check(parent->get_firstChild(first.Put()), L"child walk");
    if (first && !IsElement(first.Get())) {
        first = NextElement(first);
    }
    return first;
}

ComPtr<IXMLDOMNode> LastElement(IXMLDOMElement* parent) {
    ComPtr<IXMLDOMNode> last;
    Check(parent->get_lastChild(last.Put()), L"child walk");
    if (last && !IsElement(last.Get())) {
        last = PreviousElement(last);
    }
    return last;
}

// Brings the handle's cache in line with the document when it went stale.
void Refresh(XmlNodeHandle& node, uint64_t changes) {
    if (node.stamp != changes) {
        node.stamp = changes;
        node.countKnown = false;
        node.cachedChild.Reset();
    }
}

// The element child at `index`, reached from the nearest known position: the cached
// child, the first or the last child.
ComPtr<IXMLDOMNode> FindChild(XmlNodeHandle& node, uint64_t changes, size_t index) {
    Refresh(node, changes);
    if (node.countKnown && index >= node.count) {
        throw std::out_of_range("XML child index out of range");
    }
    ComPtr<IXMLDOMNode> current;
    size_t at = 0;
    if (node.cachedChild && index >= node.cachedIndex) {
        current = node.cachedChild;
        at = node.cachedIndex;
    } else if (node.cachedChild && node.cachedIndex - index <= index) {
        current = node.cachedChild;
        at = node.cachedIndex;
        while (at > index) {
            current = PreviousElement(current);
            --at;
        }
    } else if (node.countKnown && node.count - 1 - index < index) {
        current = LastElement(node.element.Get());
        at = node.count - 1;
        while (at > index) {
            current = PreviousElement(current);
            --at;
        }
    } else {
        current = FirstElement(node.element.Get());
    }
    while (current && at < index) {
        current = NextElement(current);
        ++at;
    }
    if (!current) {
        node.countKnown = true;
        node.count = at;
        throw std::out_of_range("XML child index out of range");
    }
    node.cachedIndex = index;
    node.cachedChild = current;
    return current;
}

XmlNodeHandle& Node(const std::shared_ptr<XmlNodeHandle>& node) {
    CheckHandle(node);
    return *node;
}

// The parser's reason for a failed load, with the line and column when known.
std::wstring ParseFailure(IXMLDOMDocument2* document, HRESULT loadResult, IStream* text) {
    XmlSyntaxProblem problem;
    long code = 0;
    ComPtr<IXMLDOMParseError> error;
    if (SUCCEEDED(document->get_parseError(error.Put())) && error) {
        Bstr reason;
        error->get_reason(reason.Put());
        error->get_line(&problem.line);
        error->get_linepos(&problem.column);
        error->get_errorCode(&code);
        problem.reason = Trimmed(reason.Text());
    }
    if (problem.line <= 0) {
        // No position from the DOM loader: ask the SAX reader, which names the fault.
        if (auto checked = CheckXmlSyntax(text); checked && !Trimmed(checked->reason).empty()) {
            problem = std::move(*checked);
            problem.reason = Trimmed(problem.reason);
        }
    }
    std::wstring message = problem.reason;
    if (message.empty() || message == L"error") {
        const HRESULT cause = FAILED(loadResult) ? loadResult : static_cast<HRESULT>(code);
        message = L"not well-formed XML";
        if (FAILED(cause)) {
            message += L", " + SystemMessage(static_cast<DWORD>(cause));
        }
    }
    if (problem.line > 0) {
        message += L" (line " + std::to_wstring(problem.line) + L", column " +
                   std::to_wstring(problem.column) + L")";
    }
    return message;
}

}  // namespace

XmlElement::XmlElement(std::shared_ptr<XmlDocumentState> state, std::shared_ptr<XmlNodeHandle> node)
    : state_(std::move(state)), node_(std::move(node)) {}

std::wstring XmlElement::Tag() const {
    XmlNodeHandle& node = Node(node_);
    std::lock_guard<std::recursive_mutex> lock(state_->mutex);
    Bstr tag;
    Check(node.element->get_tagName(tag.Put()), L"tag lookup");
    return tag.Text();
}

size_t XmlElement::ChildCount() const {
    XmlNodeHandle& node = Node(node_);
    std::lock_guard<std::recursive_mutex> lock(state_->mutex);
    Refresh(node, state_->changes);
    if (!node.countKnown) {
        ComPtr<IXMLDOMNode> current;
        size_t count = 0;
        if (node.cachedChild) {
            current = node.cachedChild;
            count = node.cachedIndex + 1;
        } else {
            current = FirstElement(node.element.Get());
            count = current ? 1 : 0;
        }
        while ((current = NextElement(current))) {
            ++count;
        }
        node.count = count;
        node.countKnown = true;
    }
    return node.count;
}

XmlElement XmlElement::Child(size_t index) const {
    XmlNodeHandle& node = Node(node_);
    std::lock_guard<std::recursive_mutex> lock(state_->mutex);
    auto element =
        FindChild(node, state_->changes, index).As<IXMLDOMElement>(msxml::kIXMLDOMElement);
    if (!element) {
        throw XmlError(L"XML child walk failed: the child is not an element");
    }
    return XmlElement(state_, std::make_shared<XmlNodeHandle>(state_->mutex, std::move(element)));
}

XmlElement XmlElement::AppendChild(const std::wstring& tag) {
    XmlNodeHandle& node = Node(node_);
    std::lock_guard<std::recursive_mutex> lock(state_->mutex);
    // The parent may belong to a document replaced since by Load: create the child there.
    ComPtr<IXMLDOMDocument> owner;
    Check(node.element->get_ownerDocument(owner.Put()), L"append");
    ComPtr<IXMLDOMElement> child;
    Check(owner->createElement(Bstr(tag).Get(), child.Put()), L"element creation");
    Refresh(node, state_->changes);
    const uint64_t changes = ++state_->changes;
    ++state_->revision;
    ComPtr<IXMLDOMNode> appended;
    Check(node.element->appendChild(child.Get(), appended.Put()), L"append");
    // Appending leaves every existing child where it was: only the count moves.
    node.stamp = changes;
    if (node.countKnown) {
        ++node.count;
    }
    return XmlElement(state_, std::make_shared<XmlNodeHandle>(state_->mutex, std::move(child)));
}

void XmlElement::DeleteChild(size_t index) {
    XmlNodeHandle& node = Node(node_);
    std::lock_guard<std::recursive_mutex> lock(state_->mutex);
    ComPtr<IXMLDOMNode> child = FindChild(node, state_->changes, index);
    ComPtr<IXMLDOMNode> previous = index > 0 ? PreviousElement(child) : ComPtr<IXMLDOMNode>();
    const uint64_t changes = ++state_->changes;
    ++state_->revision;
    ComPtr<IXMLDOMNode> removed;
    Check(node.element->removeChild(child.Get(), removed.Put()), L"delete");
    // Children before the deleted one keep their index; walking down from the end stays cheap.
    node.stamp = changes;
    if (node.countKnown) {
        --node.count;
    }
    node.cachedChild = previous;
    node.cachedIndex = index - (previous ? 1 : 0);
}

void XmlElement::DeleteAllChildren() {
    XmlNodeHandle& node = Node(node_);
    std::lock_guard<std::recursive_mutex> lock(state_->mutex);
    const uint64_t changes = ++state_->changes;
    ++state_->revision;
    for (;;) {
        ComPtr<IXMLDOMNode> last;
        Check(node.element->get_lastChild(last.Put()), L"delete");
        if (!last) {
            break;
        }
        ComPtr<IXMLDOMNode> removed;
        Check(node.element->removeChild(last.Get(), removed.Put()), L"delete");
    }
    node.stamp = changes;
    node.countKnown = true;
    node.count = 0;
    node.cachedChild.Reset();
}

void XmlElement::SetAttribute(const std::wstring& name, const std::wstring& value) {
    XmlNodeHandle& node = Node(node_);
    std::lock_guard<std::recursive_mutex> lock(state_->mutex);
    Bstr text(value);
    VARIANT variant;
    VariantInit(&variant);
    variant.vt = VT_BSTR;
    variant.bstrVal = text.Get();  // still owned by `text`
    ++state_->revision;
    Check(node.element->setAttribute(Bstr(name).Get(), variant), L"attribute change");
}

std::optional<std::wstring> XmlElement::Attribute(const std::wstring& name) const {
    XmlNodeHandle& node = Node(node_);
    std::lock_guard<std::recursive_mutex> lock(state_->mutex);
    VARIANT value;
    VariantInit(&value);
    const HRESULT hr = node.element->getAttribute(Bstr(name).Get(), &value);
    Check(hr, L"attribute lookup");
    std::optional<std::wstring> result;
    if (hr == S_OK && value.vt == VT_BSTR) {
        // A null BSTR is an attribute with empty text, which is not a missing one.
        result = value.bstrVal != nullptr ? std::wstring(value.bstrVal, SysStringLen(value.bstrVal))
                                          : std::wstring();
    }
    VariantClear(&value);
    return result;
}

std::wstring XmlElement::AttributeText(const std::wstring& name) const {
    auto value = Attribute(name);
    if (!value) {
        throw XmlError(L"The element \"" + Tag() + L"\" has no attribute \"" + name + L"\"");
    }
    return std::move(*value);
}

size_t XmlElement::AttributeCount() const {
    XmlNodeHandle& node = Node(node_);
    std::lock_guard<std::recursive_mutex> lock(state_->mutex);
    ComPtr<IXMLDOMNamedNodeMap> attributes;
    Check(node.element->get_attributes(attributes.Put()), L"attribute count");
    long count = 0;
    if (attributes) {
        Check(attributes->get_length(&count), L"attribute count");
    }
    return static_cast<size_t>(count);
}

std::vector<std::pair<std::wstring, std::wstring>> XmlElement::Attributes() const {
    XmlNodeHandle& node = Node(node_);
    std::lock_guard<std::recursive_mutex> lock(state_->mutex);
    ComPtr<IXMLDOMNamedNodeMap> attributes;
    Check(node.element->get_attributes(attributes.Put()), L"attribute list");
    std::vector<std::pair<std::wstring, std::wstring>> result;
    long count = 0;
    if (attributes) {
        Check(attributes->get_length(&count), L"attribute list");
    }
    for (long i = 0; i < count; ++i) {
        ComPtr<IXMLDOMNode> attribute;
        Check(attributes->get_item(i, attribute.Put()), L"attribute list");
        Bstr name;
        Check(attribute->get_nodeName(name.Put()), L"attribute list");
        VARIANT value;
        VariantInit(&value);
        Check(attribute->get_nodeValue(&value), L"attribute list");
        std::wstring text;
        if (value.vt == VT_BSTR && value.bstrVal != nullptr) {
            text.assign(value.bstrVal, SysStringLen(value.bstrVal));
        }
        VariantClear(&value);
        result.emplace_back(name.Text(), std::move(text));
    }
    return result;
}

XmlDocument::XmlDocument() : state_(std::make_shared<XmlDocumentState>()) {}

XmlDocument::~XmlDocument() = default;

void XmlDocument::Load(const std::wstring& path) {
    // Parsed into a fresh document outside the lock; the current one is replaced only when
    // the whole file has been read, so a failed load changes nothing.
    auto fail = [&path](const std::wstring& reason) {
        return XmlError(L"Cannot load \"" + path + L"\": " + reason);
    };
    ComPtr<IStream> stream;
    const HRESULT opened =
        SHCreateStreamOnFileEx(path.c_str(), STGM_READ | STGM_SHARE_DENY_WRITE,
                               FILE_ATTRIBUTE_NORMAL, FALSE, nullptr, stream.Put());
    if (FAILED(opened)) {
        throw fail(SystemMessage(static_cast<DWORD>(opened)));
    }
    ComPtr<IXMLDOMDocument2> document = NewDocument();
    VARIANT source;
    VariantInit(&source);
    source.vt = VT_UNKNOWN;
    source.punkVal = stream.Get();  // still owned by `stream`
    VARIANT_BOOL loaded = VARIANT_FALSE;
    const HRESULT hr = document->load(source, &loaded);
    if (FAILED(hr) || loaded != VARIANT_TRUE) {
        throw fail(ParseFailure(document.Get(), hr, stream.Get()));
    }
    auto root = RootOf(*state_, document.Get());
    std::lock_guard<std::recursive_mutex> lock(state_->mutex);
    ++state_->changes;
    ++state_->revision;
    state_->document = std::move(document);
    state_->root = std::move(root);
}

void XmlDocument::Create(const std::wstring& rootTag) {
    ComPtr<IXMLDOMDocument2> document = NewDocument();
    // The declaration names the encoding the document is saved in.
    ComPtr<IXMLDOMProcessingInstruction> declaration;
    Check(document->createProcessingInstruction(Bstr(L"xml").Get(),
                                                Bstr(L"version=\"1.0\" encoding=\"UTF-8\"").Get(),
                                                declaration.Put()),
          L"document creation");
    ComPtr<IXMLDOMNode> added;
    Check(document->appendChild(declaration.Get(), added.Put()), L"document creation");
    ComPtr<IXMLDOMElement> rootElement;
    Check(document->createElement(Bstr(rootTag).Get(), rootElement.Put()), L"element creation");
    added.Reset();
    Check(document->appendChild(rootElement.Get(), added.Put()), L"document creation");
    auto root = std::make_shared<XmlNodeHandle>(state_->mutex, std::move(rootElement));
    std::lock_guard<std::recursive_mutex> lock(state_->mutex);
    ++state_->changes;
    ++state_->revision;
    state_->document = std::move(document);
    state_->root = std::move(root);
}

XmlElement XmlDocument::Root() const {
    std::lock_guard<std::recursive_mutex> lock(state_->mutex);
    return state_->root ? XmlElement(state_, state_->root) : XmlElement();
}

namespace {

// The document's text as the parser writes it (UTF-8 with the declaration we add).
std::string Serialize(IXMLDOMDocument2* document) {
    ComPtr<IStream> stream;
    Check(CreateStreamOnHGlobal(nullptr, TRUE, stream.Put()), L"save");
    VARIANT target;
    VariantInit(&target);
    target.vt = VT_UNKNOWN;
    target.punkVal = stream.Get();  // still owned by `stream`
    const HRESULT saved = document->save(target);
    if (FAILED(saved)) {
        throw XmlError(SystemMessage(static_cast<DWORD>(saved)));
    }
    STATSTG stat = {};
    Check(stream->Stat(&stat, STATFLAG_NONAME), L"save");
    LARGE_INTEGER start = {};
    Check(stream->Seek(start, STREAM_SEEK_SET, nullptr), L"save");
    std::string bytes(static_cast<size_t>(stat.cbSize.QuadPart), '\0');
    ULONG read = 0;
    Check(stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read), L"save");
    bytes.resize(read);
    return bytes;
}

void WriteWholeFile(const std::wstring& path, const std::string& bytes) {
    UniqueKernelHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        throw XmlError(SystemMessage(GetLastError()));
    }
    DWORD written = 0;
    if (!WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size() || !FlushFileBuffers(file.Get())) {
        throw XmlError(SystemMessage(GetLastError()));
    }
}

}  // namespace

void XmlDocument::Save(const std::wstring& path) const {
    std::lock_guard<std::recursive_mutex> lock(state_->mutex);
    if (!state_->document) {
        throw XmlError(L"Cannot save \"" + path + L"\": the document is empty");
    }
    // Beside the target, so the final move stays on one volume and is a rename.
    const std::wstring temporary = path + L".tmp";
    struct TemporaryFile {
        const std::wstring& path;
        bool moved = false;
        ~TemporaryFile() {
            if (!moved) {
                DeleteFileW(path.c_str());
            }
        }
    } guard{temporary};
    try {
        const std::string bytes = Serialize(state_->document.Get());
        WriteWholeFile(temporary, bytes);
        if (!MoveFileExW(temporary.c_str(), path.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            throw XmlError(SystemMessage(GetLastError()));
        }
        guard.moved = true;
    } catch (const XmlError& error) {
        throw XmlError(L"Cannot save \"" + path + L"\": " + error.message());
    }
}

uint64_t XmlDocument::Revision() const {
    std::lock_guard<std::recursive_mutex> lock(state_->mutex);
    return state_->revision;
}

std::unique_lock<std::recursive_mutex> XmlDocument::Lock() const {
    return std::unique_lock<std::recursive_mutex>(state_->mutex);
}

}  // namespace kestrova
