#include "registry_fixture.h"

#include <stdexcept>

#include "scan/registry_text.h"

namespace kestrova::test {

void PutData(HKEY root, const std::wstring& keyPath, const std::wstring& name, DWORD type,
             const std::vector<BYTE>& bytes) {
    Registry registry(root);
    if (!registry.OpenKey(keyPath, true)) {
        throw std::runtime_error("cannot create a test key");
    }
    registry.WriteRaw(name, RawValue{type, bytes});
}

void PutText(HKEY root, const std::wstring& keyPath, const std::wstring& name,
             const std::wstring& text, DWORD type) {
    const auto* first = reinterpret_cast<const BYTE*>(text.c_str());
    PutData(root, keyPath, name, type,
            std::vector<BYTE>(first, first + (text.size() + 1) * sizeof(wchar_t)));
}

std::optional<RawValue> ValueOf(HKEY root, const std::wstring& keyPath, const std::wstring& name) {
    Registry registry(root);
    RawValue raw;
    if (!registry.OpenKeyReadOnly(keyPath) || !registry.ReadRaw(name, raw)) {
        return std::nullopt;
    }
    return raw;
}

std::optional<std::wstring> TextOf(HKEY root, const std::wstring& keyPath,
                                   const std::wstring& name) {
    Registry registry(root);
    if (!registry.OpenKeyReadOnly(keyPath) || !registry.ValueExists(name)) {
        return std::nullopt;
    }
    return ReadTextData(registry, name);
}

NamedTexts TextsOf(HKEY root, const std::wstring& keyPath) {
    Registry registry(root);
    NamedTexts texts;
    if (!registry.OpenKeyReadOnly(keyPath)) {
        return texts;
    }
    std::vector<std::wstring> names;
    registry.GetValueNames(names);
    for (const std::wstring& name : names) {
        texts.emplace_back(name, ReadTextData(registry, name).value_or(L""));
    }
    return texts;
}

std::vector<std::wstring> SubKeysOf(HKEY root, const std::wstring& keyPath) {
    Registry registry(root);
    std::vector<std::wstring> names;
    if (registry.OpenKeyReadOnly(keyPath)) {
        registry.GetKeyNames(names);
    }
    return names;
}

}  // namespace kestrova::test
