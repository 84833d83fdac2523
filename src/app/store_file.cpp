#include "app/store_file.h"

#include <windows.h>

#include "platform/error.h"
#include "platform/file_paths.h"

namespace kestrova {

namespace {

std::wstring TwoDigits(int value) {
    return (value < 10 ? L"0" : L"") + std::to_wstring(value);
}

}  // namespace

StoreFile::StoreFile(std::wstring fileName, std::wstring rootTag, std::wstring contents)
    : fileName_(std::move(fileName)),
      rootTag_(std::move(rootTag)),
      contents_(std::move(contents)) {}

std::optional<std::wstring> StoreFile::Open(const std::wstring& dataFolder) {
    path_ = dataFolder + fileName_;
    setAsidePath_.clear();
    saveAllowed_ = true;
    shared_ = std::make_unique<SharedStore>(document_, path_, rootTag_);
    try {
        shared_->Open();
        return std::nullopt;
    } catch (const StoreBusyError& error) {
        // Another program holds the data folder: the file is fine, but cannot be read now.
        document_.Create(rootTag_);
        saveAllowed_ = false;
        return L"The file \"" + path_ + L"\" could not be read:\n" + error.message() +
               L"\n\nKestrova PC Optimizer goes on with an empty " + contents_ +
               L" and will not save over the file during this run.";
    } catch (const XmlError& error) {
        document_.Create(rootTag_);
        std::wstring message =
            L"The file \"" + path_ + L"\" could not be read:\n" + error.message() + L"\n\n";
        const std::wstring aside = UnreadableFileName(path_);
        if (MoveFileExW(path_.c_str(), aside.c_str(), MOVEFILE_COPY_ALLOWED)) {
            setAsidePath_ = aside;
            shared_->Adopt();
            message += L"It has been renamed to \"" + aside +
                       L"\", so nothing in it is lost. Kestrova PC Optimizer goes on with an "
                       L"empty " +
                       contents_ + L".";
        } else {
            saveAllowed_ = false;
            message += L"It could not be renamed either (" + SystemErrorText(GetLastError()) +
                       L"), so it stays as it is. Kestrova PC Optimizer goes on with an empty " +
                       contents_ + L" and will not save over the file during this run.";
        }
        return message;
    }
}

bool StoreFile::Save() const {
    if (!saveAllowed_ || !shared_) {
        return false;
    }
    shared_->Save();
    return true;
}

void StoreFile::Update() {
    if (saveAllowed_ && shared_) {
        shared_->Update();
    }
}

std::wstring UnreadableFileName(const std::wstring& path) {
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    return UnreadableFileName(path, now);
}

std::wstring UnreadableFileName(const std::wstring& path, const SYSTEMTIME& now) {
    const size_t slash = path.find_last_of(L"\\/");
    const size_t dot = path.find_last_of(L'.');
    const bool hasExtension =
        dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash);
    const std::wstring stem = hasExtension ? path.substr(0, dot) : path;
    const std::wstring extension = hasExtension ? path.substr(dot) : L"";

    const std::wstring stamp = std::to_wstring(now.wYear) + L"-" + TwoDigits(now.wMonth) + L"-" +
                               TwoDigits(now.wDay) + L" " + TwoDigits(now.wHour) + L"-" +
                               TwoDigits(now.wMinute) + L"-" + TwoDigits(now.wSecond);
    for (int attempt = 1;; ++attempt) {
        const std::wstring suffix = attempt == 1 ? L"" : L" " + std::to_wstring(attempt);
        const std::wstring candidate = stem + L" (unreadable " + stamp + suffix + L")" + extension;
        if (GetFileAttributesW(candidate.c_str()) == INVALID_FILE_ATTRIBUTES) {
            return candidate;
        }
    }
}

}  // namespace kestrova
