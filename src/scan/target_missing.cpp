#include "scan/target_missing.h"

#include <windows.h>

#include <utility>

#include "scan/guess_path.h"
#include "scan/path_exists.h"

namespace kestrova {

namespace {

// A file as written, a file at GuessPath(data), or a folder as written. The data is probed
// once for both of its tests; guess receives GuessPath(data) whenever it was needed.
bool TargetExists(const std::wstring& data, std::wstring& guess) {
    const PathKind kind = KindOfPath(data);
    if (kind == PathKind::File) {
        return true;
    }
    guess = GuessPath(data);
    return FileExists(guess) || kind == PathKind::Folder;
}

// data with its %NAME% references replaced from the environment; unchanged on failure.
std::wstring ExpandEnvironment(const std::wstring& data) {
    DWORD size = ExpandEnvironmentStringsW(data.c_str(), nullptr, 0);
    for (int attempt = 0; size != 0 && attempt < 4; ++attempt) {
        std::wstring expanded(size, L'\0');
        const DWORD needed = ExpandEnvironmentStringsW(data.c_str(), expanded.data(), size);
        if (needed == 0) {
            break;
        }
        if (needed <= size) {
            expanded.resize(needed - 1);
            return expanded;
        }
        size = needed;  // the environment grew between the two calls
    }
    return data;
}

}  // namespace

bool TargetMissing(const std::wstring& data, std::wstring& guessPath) {
    std::wstring guess;
    if (data.empty() || TargetExists(data, guess)) {
        return false;
    }
    // Many entries are written as "%windir%\...", "%ProgramFiles%\..." or "%SystemDrive%\...";
    // such a target is there when its expanded form is.
    if (data.find(L'%') != std::wstring::npos) {
        const std::wstring expanded = ExpandEnvironment(data);
        std::wstring expandedGuess;
        if (expanded != data && TargetExists(expanded, expandedGuess)) {
            return false;
        }
    }
    guessPath = std::move(guess);
    return true;
}

bool TargetMissing(const std::wstring& data) {
    std::wstring guessPath;
    return TargetMissing(data, guessPath);
}

}  // namespace kestrova
