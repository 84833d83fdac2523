#pragma once
// The three failures of registry reads and writes. Opening, testing, listing and deleting
// never throw: their result tells.

#include <string>

#include "platform/error.h"

namespace kestrova {

class RegistryError : public Error {
public:
    enum class Kind { InvalidDataType, GetDataFailed, SetDataFailed };

    RegistryError(Kind kind, const std::wstring& valueName);

    Kind kind() const { return kind_; }
    const std::wstring& valueName() const { return valueName_; }
    // message(): "Invalid data type for 'x'", "Failed to get data for 'x'", "Failed to set data
    // for 'x'".

private:
    Kind kind_;
    std::wstring valueName_;
};

}  // namespace kestrova
