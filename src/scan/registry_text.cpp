#include "scan/registry_text.h"

namespace kestrova {

std::optional<std::wstring> ReadTextData(const Registry& registry, const std::wstring& name) {
    try {
        return registry.ReadString(name);
    } catch (const RegistryError& error) {
        if (error.kind() == RegistryError::Kind::InvalidDataType) {
            return std::nullopt;
        }
        throw;
    }
}

}  // namespace kestrova
