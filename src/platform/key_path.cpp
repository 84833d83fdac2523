#include "platform/key_path.h"

namespace kestrova {

namespace {

struct RootName {
    HKEY key;
    const wchar_t* name;
};

const RootName kRootNames[] = {
    {HKEY_CLASSES_ROOT, L"HKEY_CLASSES_ROOT"},
    {HKEY_CURRENT_USER, L"HKEY_CURRENT_USER"},
    {HKEY_LOCAL_MACHINE, L"HKEY_LOCAL_MACHINE"},
    {HKEY_USERS, L"HKEY_USERS"},
    {HKEY_PERFORMANCE_DATA, L"HKEY_PERFORMANCE_DATA"},
    {HKEY_CURRENT_CONFIG, L"HKEY_CURRENT_CONFIG"},
    {HKEY_DYN_DATA, L"HKEY_DYN_DATA"},
};

}  // namespace

std::wstring RootKeyName(HKEY root) {
    for (const RootName& entry : kRootNames) {
        if (entry.key == root) {
            return entry.name;
        }
    }
    return {};
}

}  // namespace kestrova
