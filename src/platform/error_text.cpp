#include "platform/error_text.h"

#include "platform/registry_error.h"
#include "platform/text.h"
#include "platform/xml_document.h"

namespace kestrova {

std::wstring ErrorText(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const RegistryError& e) {
        return e.message();
    } catch (const XmlError& e) {
        return e.message();
    } catch (const std::exception& e) {
        return FromUtf8(e.what());
    } catch (...) {
        return L"An unexpected error occurred.";
    }
}

}  // namespace kestrova
