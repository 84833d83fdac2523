#pragma once
// The message of a caught error as the user reads it.

#include <exception>
#include <string>

namespace kestrova {

// The registry's and the XML store's own messages, the text of any other std::exception,
// or a generic text for anything else.
std::wstring ErrorText(std::exception_ptr error);

}  // namespace kestrova
