#include "tools/find_file_masks.h"

#include <windows.h>

#include <winnetwk.h>

#include <vector>

namespace kestrova {

namespace {

bool IsTrimmed(wchar_t c) {
    return c <= L' ';
}

size_t LastDelimiter(std::wstring_view path) {
    return path.find_last_of(L"\\:");
}

}  // namespace

bool EqualIgnoringCase(std::wstring_view a, std::wstring_view b) {
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

wchar_t UpperAscii(wchar_t c) {
    return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - (L'a' - L'A')) : c;
}

std::wstring UpperAscii(std::wstring text) {
    for (wchar_t& c : text) {
        c = UpperAscii(c);
    }
    return text;
}

std::vector<std::wstring> SplitList(std::wstring_view text) {
    std::vector<std::wstring> pieces;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = std::min(text.find(L';', start), text.size());
        std::wstring_view piece = text.substr(start, end - start);
        while (!piece.empty() && IsTrimmed(piece.front())) {
            piece.remove_prefix(1);
        }
        while (!piece.empty() && IsTrimmed(piece.back())) {
            piece.remove_suffix(1);
        }
        bool known = piece.empty();
        for (const std::wstring& kept : pieces) {
            known = known || EqualIgnoringCase(kept, piece);
        }
        if (!known) {
            pieces.emplace_back(piece);
        }
        start = end + 1;
    }
    return pieces;
}

bool TakeSubfolderFlag(std::wstring& entry, bool otherwise) {
    if (!entry.empty() && (entry.front() == L'>' || entry.front() == L'<')) {
        const bool flag = entry.front() == L'>';
        entry.erase(0, 1);
        return flag;
    }
    return otherwise;
}

std::wstring IncludeTrailingDelimiter(std::wstring path) {
    if (!path.empty() && path.back() != L'\\' && path.back() != L':') {
        path += L'\\';
    }
    return path;
}

std::wstring ExpandUncFileName(const std::wstring& path) {
    if (path.empty()) {
        return path;
    }
    std::wstring full(MAX_PATH, L'\0');
    DWORD length =
        GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length >= full.size()) {
        full.resize(length);
        length =
            GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    }
    if (length == 0 || length >= full.size()) {
        return path;
    }
    full.resize(length);
    if (full.size() < 2 || full[1] != L':') {
        return full;
    }
    const std::wstring root = full.substr(0, 2) + L"\\";
    if (GetDriveTypeW(root.c_str()) != DRIVE_REMOTE) {
        return full;
    }
    std::vector<BYTE> buffer(sizeof(UNIVERSAL_NAME_INFOW) + 2048 * sizeof(wchar_t));
    DWORD size = static_cast<DWORD>(buffer.size());
    if (WNetGetUniversalNameW(full.c_str(), UNIVERSAL_NAME_INFO_LEVEL, buffer.data(), &size) !=
        NO_ERROR) {
        return full;
    }
    return reinterpret_cast<UNIVERSAL_NAME_INFOW*>(buffer.data())->lpUniversalName;
}

std::wstring PathPart(std::wstring_view path) {
    const size_t at = LastDelimiter(path);
    return at == std::wstring_view::npos ? std::wstring() : std::wstring(path.substr(0, at + 1));
}

std::wstring NamePart(std::wstring_view path) {
    const size_t at = LastDelimiter(path);
    return std::wstring(at == std::wstring_view::npos ? path : path.substr(at + 1));
}

std::wstring DrivePart(std::wstring_view path) {
    if (path.size() >= 2 && path[1] == L':') {
        return std::wstring(path.substr(0, 2));
    }
    if (path.size() >= 2 && path[0] == L'\\' && path[1] == L'\\') {
        // \\server\share: up to the "\" after the share's name.
        const size_t server = path.find(L'\\', 2);
        if (server == std::wstring_view::npos) {
            return std::wstring(path);
        }
        const size_t share = path.find(L'\\', server + 1);
        return std::wstring(share == std::wstring_view::npos ? path : path.substr(0, share));
    }
    return std::wstring();
}

bool WildcardMatch(std::wstring_view name, std::wstring_view mask) {
    size_t i = 0;
    for (; i < name.size() && i < mask.size(); ++i) {
        if (mask[i] == L'*') {
            return true;
        }
        if (mask[i] != L'?' && UpperAscii(mask[i]) != UpperAscii(name[i])) {
            return false;
        }
    }
    if (i < name.size()) {
        return false;
    }
    for (; i < mask.size(); ++i) {
        if (mask[i] != L'*' && mask[i] != L'?') {
            return false;
        }
    }
    return true;
}

bool FileNameMatchesMask(std::wstring_view fileName, std::wstring_view mask) {
    const auto split = [](std::wstring_view text, std::wstring_view& base,
                          std::wstring_view& extension) {
        const size_t dot = text.rfind(L'.');
        base = dot == std::wstring_view::npos ? text : text.substr(0, dot);
        extension = dot == std::wstring_view::npos ? std::wstring_view() : text.substr(dot);
    };
    std::wstring_view fileBase, fileExtension, maskBase, maskExtension;
    split(fileName, fileBase, fileExtension);
    split(mask, maskBase, maskExtension);
    if (maskExtension.empty()) {
        return WildcardMatch(fileBase, maskBase);
    }
    if (fileExtension.empty()) {
        fileExtension = L".";
    }
    return WildcardMatch(fileExtension, maskExtension) && WildcardMatch(fileBase, maskBase);
}

bool DriveMatchesMask(std::wstring_view fileDrive, std::wstring_view maskDrive) {
    if (maskDrive.starts_with(L"\\\\")) {
        return WildcardMatch(fileDrive, maskDrive);
    }
    if (!maskDrive.empty() && (maskDrive.front() == L'*' || maskDrive.front() == L'?')) {
        return true;
    }
    if (fileDrive.empty()) {
        return false;
    }
    return !maskDrive.empty() && UpperAscii(fileDrive.front()) == UpperAscii(maskDrive.front());
}

bool ExcludeMaskMatches(std::wstring_view folder, std::wstring_view fileName,
                        std::wstring_view mask) {
    std::wstring path = PathPart(mask);
    const std::wstring name = NamePart(mask);
    if (!path.empty()) {
        const std::wstring drive = DrivePart(path);
        const std::wstring folderDrive = DrivePart(folder);
        if (!drive.empty()) {
            if (!DriveMatchesMask(folderDrive, drive)) {
                return false;
            }
            path.erase(0, drive.size());
        }
        if (!path.empty()) {
            const std::wstring_view rest = folder.substr(folderDrive.size());
            if (rest.size() < path.size() ||
                !EqualIgnoringCase(rest.substr(rest.size() - path.size()), path)) {
                return false;
            }
        }
    }
    return name.empty() || FileNameMatchesMask(fileName, name);
}

}  // namespace kestrova
