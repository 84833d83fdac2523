#include "scan/registry_views.h"

#include <stdexcept>

#include "scan/windows_version.h"

namespace kestrova {

namespace {

constexpr wchar_t kSoftware[] = L"SOFTWARE\\";
constexpr size_t kSoftwareLength = sizeof(kSoftware) / sizeof(wchar_t) - 1;

bool StartsWithSoftware(const std::wstring& path, size_t at) {
    return path.size() > at + kSoftwareLength &&
           CompareStringOrdinal(path.c_str() + at, static_cast<int>(kSoftwareLength), kSoftware,
                                static_cast<int>(kSoftwareLength), TRUE) == CSTR_EQUAL;
}

}  // namespace

std::wstring Wow64PathOf(HKEY root, const std::wstring& path) {
    const size_t start = !path.empty() && path[0] == L'\\' ? 1 : 0;
    const std::wstring node = std::wstring(kWow64NodeName) + L"\\";
    if (root == HKEY_LOCAL_MACHINE && StartsWithSoftware(path, start)) {
        std::wstring result = path;
        return result.insert(start + kSoftwareLength, node);
    }
    if (root == HKEY_CLASSES_ROOT && path.size() > start) {
        std::wstring result = path;
        return result.insert(start, node);
    }
    throw std::invalid_argument("the key has no copy in the 32-bit registry view");
}

bool Has32BitRegistryView() {
#if defined(_WIN64)
    return WindowsVistaOrLater();
#else
    // A 32-bit build sees the 32-bit view as its own and never the 64-bit one.
    return false;
#endif
}

}  // namespace kestrova
