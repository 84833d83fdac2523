#include "scan/guess_path.h"

#include <string_view>
#include <utility>

#include "scan/system_folders.h"

namespace kestrova {

namespace {

constexpr size_t npos = std::wstring::npos;

// Only ASCII letters are lowered: the patterns matched below are ASCII, and other letters
// keep their form so the file system still finds them.
std::wstring LowerAscii(std::wstring text) {
    for (wchar_t& c : text) {
        if (c >= L'A' && c <= L'Z') {
            c = static_cast<wchar_t>(c - L'A' + L'a');
        }
    }
    return text;
}

void CutBefore(std::wstring& text, wchar_t c) {
    const size_t at = text.find(c);
    if (at != npos) {
        text.resize(at);
    }
}

void CutAfter(std::wstring& text, const std::wstring& pattern) {
    const size_t at = text.find(pattern);
    if (at != npos) {
        text.resize(at + pattern.size());
    }
}

// As ReplaceFirst(pattern, folder(), text), with folder() called only when pattern is there.
void ReplaceWithFolder(std::wstring_view pattern, std::wstring (*folder)(), std::wstring& text) {
    const size_t at = text.find(pattern);
    if (at != npos) {
        text.replace(at, pattern.size(), folder());
    }
}

bool HasExtension(const std::wstring& path) {
    const size_t nameStart = path.find_last_of(L"\\:");
    const size_t dot = path.rfind(L'.');
    return dot != npos && (nameStart == npos || dot > nameStart);
}

}  // namespace

std::wstring ReplaceFirst(const std::wstring& pattern, const std::wstring& replacement,
                          const std::wstring& text) {
    const size_t at = pattern.empty() ? npos : text.find(pattern);
    if (at == npos) {
        return text;
    }
    std::wstring result = text;
    result.replace(at, pattern.size(), replacement);
    return result;
}

std::wstring GuessPath(const std::wstring& data) {
    FileProbe probe;
    return GuessFile(data, probe).path;
}

GuessedFile GuessFile(const std::wstring& data, FileProbe& probe) {
    if (data.empty()) {
        return {};
    }
    if (data.starts_with(L"\\\\")) {
        return {data, {}};  // a network path is left as it is
    }
    std::wstring s = LowerAscii(data);

    // Switches ("/s") and anything after them.
    CutBefore(s, L'/');
    if (!s.empty() && s.front() == L'"') {
        s.erase(0, 1);
    }
    if (s.empty()) {
        return {};
    }

    // A program or library name ends the path; what follows are its arguments.
    if (s.starts_with(L"rundll32")) {
        s = L"rundll32.exe";
    } else {
        CutAfter(s, L".exe");
        CutAfter(s, L".dll");
    }

    // Each folder is looked up only where its variable is used: the Program Files folder
    // comes from the registry, and most data names none of them.
    ReplaceWithFolder(L"%systemroot%\\system32\\", SystemFolder, s);
    ReplaceWithFolder(L"%systemroot%\\", WindowsFolder, s);
    ReplaceWithFolder(L"%programfiles%\\", ProgramFilesFolder, s);
    if (s.empty()) {
        return {};
    }

    // Icon references ("shell32.dll,4") end at the comma.
    CutBefore(s, L',');
    if (!s.empty() && s.back() == L'"') {
        s.pop_back();
    }
    if (s.empty()) {
        return {};
    }

    size_t bareStart = npos;  // where a bare name starts after the folder put in front of it
    if (s.back() == L'$') {
        // An administrative share name ("d$") stands for the drive's root.
        s.pop_back();
        s += L":\\";
    } else if (s.find_first_of(L"\\:") == npos) {
        const std::wstring windows = WindowsFolder();
        const std::wstring folder = probe.IsFile(windows + s) ? windows : SystemFolder();
        s = folder + s;
        bareStart = folder.size();
    }

    if (!HasExtension(s)) {
        CutBefore(s, L' ');
        if (s.empty()) {
            return {};
        }
        // A path without a drive is probed where it ends up, in the system folder: never from
        // the current directory.
        const bool hasDrive = s.find(L':') != npos;
        if (probe.IsFile((hasDrive ? s : SystemFolder() + s) + L".exe")) {
            s += L".exe";
        }
    }

    if (s.find(L':') == npos) {
        s = SystemFolder() + s;
    }

    while (!s.empty() && s.back() <= L' ') {
        s.pop_back();
    }
    // The folder may hold a blank and lose its end above: then no bare name is known.
    const bool bare = bareStart != npos && s.size() > bareStart;
    std::wstring bareName = bare ? s.substr(bareStart) : std::wstring();
    return {std::move(s), std::move(bareName)};
}

}  // namespace kestrova
