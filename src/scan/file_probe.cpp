#include "scan/file_probe.h"

#include <string_view>

namespace kestrova {

namespace {

constexpr std::wstring_view kLongPrefix = L"\\\\?\\";

bool IsDriveLetter(wchar_t c) {
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

// "X:\" or "X:/" at the start of text.
bool StartsWithDriveRoot(std::wstring_view text) {
    return text.size() >= 3 && IsDriveLetter(text[0]) && text[1] == L':' &&
           (text[2] == L'\\' || text[2] == L'/');
}

wchar_t UpperLetter(wchar_t c) {
    return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

// The drive letter (upper case) of a full local path, "X:\..." or "\\?\X:\..."; 0 for any
// other path.
wchar_t LocalDriveOf(std::wstring_view path) {
    if (path.starts_with(kLongPrefix)) {
        path.remove_prefix(kLongPrefix.size());
        return path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == L':' && path[2] == L'\\'
                   ? UpperLetter(path[0])
                   : 0;
    }
    return StartsWithDriveRoot(path) ? UpperLetter(path[0]) : 0;
}

// "\\?\" + the full form of a local path: that form reaches past MAX_PATH characters but takes
// the path literally, so "." and ".." levels and "/" are resolved first.
std::wstring LongForm(const std::wstring& path) {
    std::wstring full(path.size() + 1, L'\0');
    for (int attempt = 0; attempt < 3; ++attempt) {
        const DWORD length =
            GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0) {
            break;
        }
        if (length < full.size()) {
            full.resize(length);
            return std::wstring(kLongPrefix) + full;
        }
        full.assign(length, L'\0');
    }
    return std::wstring(kLongPrefix) + path;
}

// A character that no Windows file name can hold, after the drive's root.
bool HoldsForbiddenCharacter(std::wstring_view path) {
    if (path.starts_with(kLongPrefix)) {
        path.remove_prefix(kLongPrefix.size());
    }
    path.remove_prefix(path.size() >= 3 ? 3 : path.size());
    for (wchar_t c : path) {
        if (c < L' ' || std::wstring_view(L"<>\"|?*").find(c) != std::wstring_view::npos) {
            return true;
        }
    }
    return false;
}

bool MeansMissing(DWORD error, const std::wstring& path) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_BAD_PATHNAME:
        case ERROR_DIRECTORY:
            return true;
        case ERROR_INVALID_NAME:
            return HoldsForbiddenCharacter(path);
        default:
            return false;
    }
}

// Keeps the system from asking the user to insert a disk while the object lives.
class QuietDriveErrors {
public:
    QuietDriveErrors() {
        SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previous_);
    }
    ~QuietDriveErrors() { SetThreadErrorMode(previous_, nullptr); }
    QuietDriveErrors(const QuietDriveErrors&) = delete;
    QuietDriveErrors& operator=(const QuietDriveErrors&) = delete;

private:
    DWORD previous_ = 0;
};

}  // namespace

bool IsFullPath(const std::wstring& path) {
    return StartsWithDriveRoot(path) || path.starts_with(L"\\\\");
}

bool IsInFolder(const std::wstring& path, const std::wstring& folder) {
    return !folder.empty() && path.size() >= folder.size() &&
           CompareStringOrdinal(path.c_str(), static_cast<int>(folder.size()), folder.c_str(),
                                static_cast<int>(folder.size()), TRUE) == CSTR_EQUAL;
}

ProbeAnswer FileProbe::Probe(const std::wstring& path) {
    const wchar_t drive = LocalDriveOf(path);
    if (drive == 0 || !DriveProbed(drive)) {
        return ProbeAnswer::CannotTell;
    }
    const bool longPath = path.size() >= MAX_PATH && !path.starts_with(kLongPrefix);
    DWORD error = ERROR_SUCCESS;
    const DWORD attributes = Attributes(longPath ? LongForm(path) : path, error);
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? ProbeAnswer::Folder
                                                            : ProbeAnswer::File;
    }
    return MeansMissing(error, path) ? ProbeAnswer::Missing : ProbeAnswer::CannotTell;
}

bool FileProbe::DriveProbed(wchar_t letter) {
    std::optional<bool>& probed = drives_[static_cast<size_t>(letter - L'A')];
    if (!probed) {
        const std::wstring root = std::wstring(1, letter) + L":\\";
        switch (DriveType(root)) {
            case DRIVE_FIXED:
            case DRIVE_RAMDISK:
                probed = true;
                break;
            case DRIVE_REMOVABLE:
            case DRIVE_CDROM:
                probed = HasMedium(root);
                break;
            default:  // a network share, an absent letter, or a drive of unknown type
                probed = false;
                break;
        }
    }
    return *probed;
}

DWORD FileProbe::Attributes(const std::wstring& path, DWORD& error) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    error = attributes == INVALID_FILE_ATTRIBUTES ? GetLastError() : ERROR_SUCCESS;
    return attributes;
}

UINT FileProbe::DriveType(const std::wstring& root) {
    return GetDriveTypeW(root.c_str());
}

bool FileProbe::HasMedium(const std::wstring& root) {
    const QuietDriveErrors quiet;
    return GetVolumeInformationW(root.c_str(), nullptr, 0, nullptr, nullptr, nullptr, nullptr, 0) !=
           0;
}

}  // namespace kestrova
