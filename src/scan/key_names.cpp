#include "scan/key_names.h"

#include "platform/registry.h"

namespace kestrova {

namespace {

struct RootName {
    HKEY key;
    const wchar_t* name;
};

// Only these names are read back; anything else falls to HKEY_CLASSES_ROOT.
const RootName kReadableRoots[] = {
    {HKEY_CURRENT_USER, L"HKEY_CURRENT_USER"},
    {HKEY_LOCAL_MACHINE, L"HKEY_LOCAL_MACHINE"},
    {HKEY_USERS, L"HKEY_USERS"},
    {HKEY_CURRENT_CONFIG, L"HKEY_CURRENT_CONFIG"},
};

}  // namespace

HKEY RootKeyFromName(const std::wstring& name) {
    for (const RootName& entry : kReadableRoots) {
        if (name == entry.name) {
            return entry.key;
        }
    }
    return HKEY_CLASSES_ROOT;
}

HKEY KeyNameRoot(const std::wstring& keyName) {
    const size_t first = keyName.find(L'\\');
    return RootKeyFromName(first == std::wstring::npos ? std::wstring() : keyName.substr(0, first));
}

std::wstring KeyNameParent(const std::wstring& keyName) {
    const size_t first = keyName.find(L'\\');
    const size_t last = keyName.rfind(L'\\');
    if (first == std::wstring::npos || first == last) {
        return {};
    }
    return keyName.substr(first, last - first);
}

std::wstring KeyNameLeaf(const std::wstring& keyName) {
    const size_t last = keyName.rfind(L'\\');
    return last == std::wstring::npos ? keyName : keyName.substr(last + 1);
}

bool KeyExistsUnder(HKEY root, const std::wstring& keyPath) {
    const Registry registry(root);
    return registry.KeyExists(keyPath);
}

}  // namespace kestrova
