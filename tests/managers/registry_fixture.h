#pragma once
// Registry helpers for the managers' tests: writing values of exact types, and reading back
// what a key holds, in the registry's order.

#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/registry.h"
#include "repair_test_support.h"

namespace kestrova::test {

// Writes a text value (REG_SZ unless another text type is given), creating the key; throws
// std::runtime_error when the registry refuses.
void PutText(HKEY root, const std::wstring& keyPath, const std::wstring& name,
             const std::wstring& text, DWORD type = REG_SZ);
void PutData(HKEY root, const std::wstring& keyPath, const std::wstring& name, DWORD type,
             const std::vector<BYTE>& bytes);

// The value's type and bytes; nothing when the key or the value is missing.
std::optional<RawValue> ValueOf(HKEY root, const std::wstring& keyPath, const std::wstring& name);
// The value's text; nothing when missing or not text.
std::optional<std::wstring> TextOf(HKEY root, const std::wstring& keyPath,
                                   const std::wstring& name);

// Value names and texts ("" for a value that is not text), in the registry's order.
using NamedTexts = std::vector<std::pair<std::wstring, std::wstring>>;
NamedTexts TextsOf(HKEY root, const std::wstring& keyPath);
std::vector<std::wstring> SubKeysOf(HKEY root, const std::wstring& keyPath);
// KeyPresent comes with the repair tests' helpers, which these tests share.

}  // namespace kestrova::test
