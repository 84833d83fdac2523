#pragma once
// Exit statuses of the console front end, and the error that a command throws for a bad
// command line.

#include <string>

#include "platform/error.h"

namespace kestrova::cli {

inline constexpr int kExitDone = 0;          // the command ran
inline constexpr int kExitFailed = 1;        // it could not run, or ended in an error
inline constexpr int kExitBadArguments = 2;  // the command line was not understood

// Thrown while reading a command line; the dispatcher prints the message and the usage.
class UsageError : public Error {
public:
    explicit UsageError(std::wstring message) : Error(std::move(message)) {}
};

}  // namespace kestrova::cli
