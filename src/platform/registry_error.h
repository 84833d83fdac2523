#pragma once
// The three failures of registry reads and writes. Opening, testing, listing and deleting
// never throw: their result tells.

#include <stdexcept>
#include <string>

namespace kestrova {

class RegistryError : public std::runtime_error {
public:
    enum class Kind { InvalidDataType, GetDataFailed, SetDataFailed };

    RegistryError(Kind kind, const std::wstring& valueName);

    Kind kind() const { return kind_; }
    const std::wstring& valueName() const { return valueName_; }
    // "Invalid data type for 'x'", "Failed to get data for 'x'", "Failed to set data for 'x'".
    const std::wstring& message() const { return message_; }

private:
    Kind kind_;
    std::wstring valueName_;
    std::wstring message_;
};

}  // namespace kestrova
