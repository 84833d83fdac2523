#include "scan/search_places.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>

#include "platform/file_paths.h"
#include "scan/file_probe.h"
#include "scan/system_folders.h"

namespace kestrova {

namespace {

bool SameFolder(const std::wstring& a, const std::wstring& b) {
    return a.size() == b.size() && IsInFolder(a, b);
}

void AddFolder(std::vector<std::wstring>& folders, std::wstring folder) {
    folder = WithTrailingBackslash(std::move(folder));
    // Relative entries ("." and the like) would make the search depend on the current
    // directory.
    if (!IsFullPath(folder)) {
        return;
    }
    for (const std::wstring& known : folders) {
        if (SameFolder(known, folder)) {
            return;
        }
    }
    folders.push_back(std::move(folder));
}

std::wstring Variable(const wchar_t* name) {
    DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    for (int attempt = 0; size != 0 && attempt < 4; ++attempt) {
        std::wstring value(size, L'\0');
        const DWORD length = GetEnvironmentVariableW(name, value.data(), size);
        if (length < size) {
            value.resize(length);
            return value;
        }
        size = length;  // the variable grew between the two calls
    }
    return {};
}

std::wstring FontsFolder() {
    wchar_t folder[MAX_PATH] = {};
    if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_FONTS, nullptr, SHGFP_TYPE_CURRENT, folder)) &&
        folder[0] != L'\0') {
        return WithTrailingBackslash(folder);
    }
    return WindowsFolder() + L"Fonts\\";
}

std::wstring Wow64SystemFolder() {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetSystemWow64DirectoryW(folder, MAX_PATH);
    return length == 0 || length >= MAX_PATH ? std::wstring() : WithTrailingBackslash(folder);
}

// variable64 (or, in a 32-bit process, its "...W6432" form) and its "(x86)" form.
void AddTwin(std::vector<FolderTwin>& twins, const wchar_t* variable64,
             const wchar_t* variableW6432, const wchar_t* variable32) {
    std::wstring folder = Variable(variableW6432);
    if (folder.empty()) {
        folder = Variable(variable64);
    }
    const std::wstring twin = Variable(variable32);
    if (!folder.empty() && !twin.empty() && !SameFolder(folder, twin)) {
        twins.push_back({WithTrailingBackslash(folder), WithTrailingBackslash(twin)});
    }
}

}  // namespace

SearchPlaces SystemSearchPlaces() {
    SearchPlaces places;
    const std::wstring windows = WindowsFolder();
    const std::wstring system = SystemFolder();
    places.fonts = FontsFolder();
    places.media = windows + L"Media\\";
    places.help = windows + L"Help\\";

    AddFolder(places.programSearch, system);
    AddFolder(places.programSearch, windows);
    const std::wstring path = Variable(L"PATH");
    size_t start = 0;
    while (start <= path.size()) {
        const size_t end = std::min(path.find(L';', start), path.size());
        std::wstring entry = path.substr(start, end - start);
        if (entry.size() >= 2 && entry.front() == L'"' && entry.back() == L'"') {
            entry = entry.substr(1, entry.size() - 2);
        }
        if (!entry.empty()) {
            AddFolder(places.programSearch, std::move(entry));
        }
        start = end + 1;
    }

    const std::wstring wow64 = Wow64SystemFolder();
    if (!wow64.empty() && !SameFolder(wow64, system)) {
        places.x86Twins.push_back({system, wow64});
    }
    AddTwin(places.x86Twins, L"ProgramFiles", L"ProgramW6432", L"ProgramFiles(x86)");
    AddTwin(places.x86Twins, L"CommonProgramFiles", L"CommonProgramW6432",
            L"CommonProgramFiles(x86)");
    return places;
}

}  // namespace kestrova
