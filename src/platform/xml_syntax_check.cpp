#include "platform/xml_syntax_check.h"

#include <windows.h>
#include <msxml2.h>

#include "platform/bstr.h"
#include "platform/com_ptr.h"
#include "platform/msxml_guids.h"

namespace kestrova {

namespace {

// Keeps the first complaint. Lives on the caller's stack and outlives the reader that
// holds it, so its reference count is not needed.
class FirstProblem : public ISAXErrorHandler {
public:
    std::optional<XmlSyntaxProblem> problem;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, msxml::kISAXErrorHandler)) {
            *object = static_cast<ISAXErrorHandler*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE error(ISAXLocator* locator, const wchar_t* message,
                                    HRESULT code) override {
        return fatalError(locator, message, code);
    }
    HRESULT STDMETHODCALLTYPE fatalError(ISAXLocator* locator, const wchar_t* message,
                                         HRESULT code) override {
        if (!problem) {
            XmlSyntaxProblem found;
            found.reason = message != nullptr ? message : L"";
            int line = 0;
            int column = 0;
            if (locator != nullptr) {
                locator->getLineNumber(&line);
                locator->getColumnNumber(&column);
            }
            found.line = line;
            found.column = column;
            problem = std::move(found);
        }
        return code;  // stop at the first complaint
    }
    HRESULT STDMETHODCALLTYPE ignorableWarning(ISAXLocator*, const wchar_t*, HRESULT) override {
        return S_OK;
    }
};

}  // namespace

std::optional<XmlSyntaxProblem> CheckXmlSyntax(IStream* stream) {
    FirstProblem handler;  // declared first: the reader lets go of it before it goes
    ComPtr<ISAXXMLReader> reader;
    if (FAILED(CoCreateInstance(msxml::kSaxXmlReader60, nullptr, CLSCTX_INPROC_SERVER,
                                msxml::kISAXXMLReader, reinterpret_cast<void**>(reader.Put())))) {
        return std::nullopt;
    }
    // As for the document: no document type declarations, nothing fetched from outside.
    reader->putFeature(Bstr(L"prohibit-dtd").Get(), VARIANT_TRUE);
    reader->putFeature(Bstr(L"http://xml.org/sax/features/external-general-entities").Get(),
                       VARIANT_FALSE);
    reader->putFeature(Bstr(L"http://xml.org/sax/features/external-parameter-entities").Get(),
                       VARIANT_FALSE);
    if (FAILED(reader->putErrorHandler(&handler))) {
        return std::nullopt;
    }
    LARGE_INTEGER start = {};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    VARIANT source;
    VariantInit(&source);
    source.vt = VT_UNKNOWN;
    source.punkVal = stream;  // borrowed for the call
    const HRESULT parsed = reader->parse(source);
    reader->putErrorHandler(nullptr);
    if (!handler.problem && FAILED(parsed)) {
        handler.problem = XmlSyntaxProblem{};
    }
    return handler.problem;
}

}  // namespace kestrova
