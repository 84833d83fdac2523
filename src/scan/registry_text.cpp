#include "scan/registry_text.h"

namespace kestrova {

std::optional<std::wstring> ReadTextData(const Registry& registry, const std::wstring& name) {
    return registry.ReadText(name);
}

}  // namespace kestrova
