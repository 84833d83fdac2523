#include "platform/registry_error.h"

namespace kestrova {

namespace {

std::wstring MessageFor(RegistryError::Kind kind, const std::wstring& name) {
    switch (kind) {
        case RegistryError::Kind::InvalidDataType:
            return L"Invalid data type for '" + name + L"'";
        case RegistryError::Kind::GetDataFailed:
            return L"Failed to get data for '" + name + L"'";
        case RegistryError::Kind::SetDataFailed:
            break;
    }
    return L"Failed to set data for '" + name + L"'";
}

}  // namespace

RegistryError::RegistryError(Kind kind, const std::wstring& valueName)
    : Error(MessageFor(kind, valueName)), kind_(kind), valueName_(valueName) {}

}  // namespace kestrova
