#include "app/data_folder.h"

#include <windows.h>

#include "platform/text.h"

namespace kestrova {

FolderError::FolderError(const std::wstring& message)
    : std::runtime_error(ToUtf8(message)), message_(message) {}

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

std::wstring DataFolderOf(const std::wstring& executablePath) {
    const size_t slash = executablePath.find_last_of(L"\\/:");
    return WithTrailingBackslash(slash == std::wstring::npos ? std::wstring()
                                                             : executablePath.substr(0, slash + 1));
}

std::wstring WithTrailingBackslash(std::wstring folder) {
    if (folder.empty() || folder.back() != L'\\') {
        folder += L'\\';
    }
    return folder;
}

std::wstring BackupFolderPath(const std::wstring& dataFolder) {
    return dataFolder + L"Backup";
}

void EnsureFolder(const std::wstring& path) {
    if (IsExistingFolder(path)) {
        return;
    }
    if (!CreateDirectoryW(path.c_str(), nullptr)) {
        const DWORD error = GetLastError();
        throw FolderError(L"Cannot create the folder \"" + path + L"\": " + SystemErrorText(error));
    }
}

bool IsExistingFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsExistingFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring SystemErrorText(unsigned long code) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = length ? std::wstring(buffer, length) : L"error " + std::to_wstring(code);
    LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ' ||
                             text.back() == L'.')) {
        text.pop_back();
    }
    return text;
}

}  // namespace kestrova
