#include "cli/data_folder.h"

#include <windows.h>

namespace kestrova::cli {

std::wstring ProgramFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return {};
        }
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const size_t slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

std::wstring WithTrailingBackslash(std::wstring folder) {
    if (folder.empty() || folder.back() != L'\\') {
        folder += L'\\';
    }
    return folder;
}

}  // namespace kestrova::cli
