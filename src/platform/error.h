#pragma once
// The program's one error vocabulary: every failure it raises itself is an Error (or a kind of
// it) carrying the message the user reads; ErrorText turns anything caught into that text.

#include <exception>
#include <stdexcept>
#include <string>

namespace kestrova {

class Error : public std::runtime_error {
public:
    explicit Error(std::wstring message);
    // The text shown to the user, exactly as composed.
    const std::wstring& message() const { return message_; }

private:
    std::wstring message_;
};

// The message of an Error, the text of any other std::exception, or a generic text for
// anything else.
std::wstring ErrorText(std::exception_ptr error);

// The system's text for an error code, without the trailing full stop and line break;
// "error N" when the system has none.
std::wstring SystemErrorText(unsigned long code);

}  // namespace kestrova
