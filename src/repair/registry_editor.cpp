#include "repair/registry_editor.h"

#include <windows.h>

#include "platform/error.h"
#include "platform/run_and_wait.h"
#include "scan/system_folders.h"

namespace kestrova {

namespace {

constexpr wchar_t kNotStarted[] = L"the registry editor could not be started";

std::wstring InFolder(const std::wstring& file, const std::wstring& workingFolder) {
    const bool full = file.size() >= 2 && (file[1] == L':' || (file[0] == L'\\'));
    if (full || workingFolder.empty()) {
        return file;
    }
    return workingFolder.back() == L'\\' ? workingFolder + file : workingFolder + L"\\" + file;
}

}  // namespace

bool RunRegistryEditor(const std::wstring& commandLine, const std::wstring& workingFolder) {
    return RunAndWait(WindowsFolder() + L"regedit.exe", commandLine, SW_HIDE, workingFolder);
}

std::wstring QuotedArgument(const std::wstring& text) {
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (const wchar_t c : text) {
        if (c == L'\\') {
            ++backslashes;
            quoted += c;
            continue;
        }
        if (c == L'"') {
            quoted.append(backslashes + 1, L'\\');
        }
        backslashes = 0;
        quoted += c;
    }
    // Backslashes at the end would escape the closing quote.
    quoted.append(backslashes, L'\\');
    return quoted + L"\"";
}

std::wstring ExportCommandLine(const std::wstring& file, const std::wstring& keyName) {
    return L" /e " + QuotedArgument(file) + L" " + QuotedArgument(keyName);
}

std::wstring ImportCommandLine(const std::wstring& file) {
    return L" /s " + QuotedArgument(file);
}

long long FileSizeOf(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return -1;
    }
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::optional<std::wstring> ExportKey(const RegistryEditorRun& run, const std::wstring& file,
                                      const std::wstring& keyName,
                                      const std::wstring& workingFolder) {
    const std::wstring path = InFolder(file, workingFolder);
    if (FileSizeOf(path) >= 0 && !DeleteFileW(path.c_str())) {
        return L"the old file " + path + L" cannot be replaced: " + SystemErrorText(GetLastError());
    }
    if (!run(ExportCommandLine(file, keyName), workingFolder)) {
        return std::wstring(kNotStarted);
    }
    const long long size = FileSizeOf(path);
    if (size < 0) {
        return std::wstring(L"the registry editor wrote no file");
    }
    if (size == 0) {
        return std::wstring(L"the registry editor wrote an empty file");
    }
    return std::nullopt;
}

std::optional<std::wstring> ImportFile(const RegistryEditorRun& run, const std::wstring& file,
                                       const std::wstring& workingFolder) {
    const long long size = FileSizeOf(InFolder(file, workingFolder));
    if (size < 0) {
        return file + L" is missing";
    }
    if (size == 0) {
        return file + L" is empty";
    }
    if (!run(ImportCommandLine(file), workingFolder)) {
        return std::wstring(kNotStarted);
    }
    return std::nullopt;
}

}  // namespace kestrova
