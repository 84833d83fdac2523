#include "platform/file_paths.h"

#include <windows.h>

#include "platform/error.h"

namespace kestrova {

std::wstring ExecutablePath() {
    std::wstring path(MAX_PATH, L'\0');
    while (true) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::wstring FolderOf(const std::wstring& filePath) {
    const size_t slash = filePath.find_last_of(L"\\/:");
    return WithTrailingBackslash(slash == std::wstring::npos ? std::wstring()
                                                             : filePath.substr(0, slash + 1));
}

std::wstring WithTrailingBackslash(std::wstring folder) {
    if (folder.empty() || folder.back() != L'\\') {
        folder += L'\\';
    }
    return folder;
}

bool IsExistingFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsExistingFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void EnsureFolder(const std::wstring& path) {
    if (IsExistingFolder(path)) {
        return;
    }
    if (!CreateDirectoryW(path.c_str(), nullptr)) {
        const DWORD error = GetLastError();
        throw Error(L"Cannot create the folder \"" + path + L"\": " + SystemErrorText(error));
    }
}

}  // namespace kestrova
