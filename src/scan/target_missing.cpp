#include "scan/target_missing.h"

#include <windows.h>

#include <string_view>
#include <utility>
#include <vector>

#include "scan/guess_path.h"

namespace kestrova {

namespace {

constexpr size_t npos = std::wstring::npos;

bool IsBlank(wchar_t c) {
    return c <= L' ';
}

// data without the blanks around it and the "@" that marks an indirect string
// ("@%SystemRoot%\system32\shell32.dll,-21769").
std::wstring NamedText(const std::wstring& data) {
    size_t start = 0;
    size_t end = data.size();
    while (start < end && IsBlank(data[start])) {
        ++start;
    }
    if (start < end && data[start] == L'@') {
        ++start;
        while (start < end && IsBlank(data[start])) {
            ++start;
        }
    }
    while (end > start && IsBlank(data[end - 1])) {
        --end;
    }
    return data.substr(start, end - start);
}

// "%1", "%L", "%*" and the like, alone or followed by more arguments: the file a command
// is given, or the file itself, not a file of its own.
bool IsPlaceholder(std::wstring_view text) {
    if (!text.empty() && text.front() == L'"') {
        text.remove_prefix(1);
    }
    if (text.size() < 2 || text[0] != L'%') {
        return false;
    }
    const wchar_t c = text[1];
    const bool placeholder = c == L'*' || (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'Z') ||
                             (c >= L'a' && c <= L'z');
    return placeholder && (text.size() == 2 || std::wstring_view(L" \t\",").find(text[2]) != npos);
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

// A file is there when the system says so, or cannot say that it is not.
bool FileThere(ProbeAnswer answer) {
    return answer == ProbeAnswer::File || answer == ProbeAnswer::CannotTell;
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
    return a.size() == b.size() && IsInFolder(a, b);
}

}  // namespace

bool TargetTest::Missing(const std::wstring& data, std::wstring& guessPath, FileKind kind) {
    const std::wstring named = NamedText(data);
    if (named.empty() || IsPlaceholder(named)) {
        return false;
    }
    GuessedFile guess;
    if (Found(named, kind, guess)) {
        return false;
    }
    // Many entries are written as "%windir%\...", "%ProgramFiles%\..." or "%SystemDrive%\...";
    // such a target is there when its expanded form is.
    if (named.find(L'%') != npos) {
        const std::wstring expanded = ExpandEnvironment(named);
        GuessedFile expandedGuess;
        if (expanded != named && Found(expanded, kind, expandedGuess)) {
            return false;
        }
    }
    // The row shows the Guess Path of the data as it stands.
    guessPath = named == data ? std::move(guess.path) : GuessFile(data, probe_).path;
    return true;
}

bool TargetTest::Found(const std::wstring& text, FileKind kind, GuessedFile& guess) {
    // The text as written counts as a file or a folder; it is probed only when it does not
    // depend on the current directory.
    const bool fullPath = IsFullPath(text);
    if (fullPath && probe_.Probe(text) != ProbeAnswer::Missing) {
        return true;
    }
    guess = GuessFile(text, probe_);
    if (guess.path.empty()) {
        return true;  // no file can be derived from it: it names none
    }
    if (FileThere(probe_.Probe(guess.path))) {
        return true;
    }
    if ((fullPath && FoundInTwins(text, true)) || FoundInTwins(guess.path, false)) {
        return true;
    }
    return !guess.bareName.empty() && FoundBare(guess.bareName, guess.path, kind);
}

bool TargetTest::FoundInTwins(const std::wstring& path, bool folderCounts) {
    std::vector<std::wstring> tried;
    for (const FolderTwin& twin : places_.x86Twins) {
        if (!IsInFolder(path, twin.folder)) {
            continue;
        }
        std::wstring other = twin.twin + path.substr(twin.folder.size());
        bool seen = false;
        for (const std::wstring& earlier : tried) {
            seen = seen || SamePath(earlier, other);
        }
        if (seen) {
            continue;
        }
        const ProbeAnswer answer = probe_.Probe(other);
        if (FileThere(answer) || (folderCounts && answer == ProbeAnswer::Folder)) {
            return true;
        }
        tried.push_back(std::move(other));
    }
    return false;
}

bool TargetTest::FoundBare(const std::wstring& name, const std::wstring& guessed, FileKind kind) {
    std::vector<const std::wstring*> folders;
    if (kind == FileKind::Help) {
        folders.push_back(&places_.help);
    } else if (kind == FileKind::Sound) {
        folders.push_back(&places_.media);
    }
    for (const std::wstring& folder : places_.programSearch) {
        folders.push_back(&folder);
    }
    // As the system's search does, a name without an extension is looked for as a program.
    const bool withoutExtension = name.find(L'.') == npos;
    for (const std::wstring* folder : folders) {
        if (folder->empty()) {
            continue;
        }
        const std::wstring path = *folder + name;
        if (!SamePath(path, guessed) && FileThere(probe_.Probe(path))) {
            return true;
        }
        if (withoutExtension && FileThere(probe_.Probe(path + L".exe"))) {
            return true;
        }
    }
    return false;
}

bool TargetMissing(const std::wstring& data, std::wstring& guessPath) {
    FileProbe probe;
    TargetTest test(probe, SystemSearchPlaces());
    return test.Missing(data, guessPath);
}

bool TargetMissing(const std::wstring& data) {
    std::wstring guessPath;
    return TargetMissing(data, guessPath);
}

}  // namespace kestrova
