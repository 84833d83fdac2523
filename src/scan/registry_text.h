#pragma once
// Reading registry data that a check expects to be text.

#include <optional>
#include <string>

#include "platform/registry.h"

namespace kestrova {

// The text of a value of the open key: empty when the value is missing. A value holding
// another kind of data (a number, bytes, a list of strings) names no file: it gives no text,
// so the check passes over that entry instead of ending the whole scan. A value that keeps
// changing size while it is read throws RegistryError.
std::optional<std::wstring> ReadTextData(const Registry& registry, const std::wstring& name);

}  // namespace kestrova
