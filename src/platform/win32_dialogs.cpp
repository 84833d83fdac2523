#include "platform/win32_dialogs.h"

#include <commdlg.h>
#include <objbase.h>
#include <shlobj.h>

#include <vector>

namespace kestrova {

namespace {

// "Text|*.a|Other|*.b" becomes the double-NUL-terminated list the common dialogs read.
std::vector<wchar_t> FilterList(const std::wstring& filter) {
    std::vector<wchar_t> list;
    const std::wstring source = filter.empty() ? L"All files (*.*)|*.*" : filter;
    for (wchar_t c : source) {
        list.push_back(c == L'|' ? L'\0' : c);
    }
    list.push_back(L'\0');
    list.push_back(L'\0');
    return list;
}

}  // namespace

void Win32Dialogs::ShowMessage(const std::wstring& text) {
    MessageBoxW(owner_, text.c_str(), caption_.c_str(), MB_OK);
}

void Win32Dialogs::ShowInformation(const std::wstring& text, const std::wstring& caption) {
    MessageBoxW(owner_, text.c_str(), caption.c_str(), MB_OK | MB_ICONINFORMATION);
}

void Win32Dialogs::ShowError(const std::wstring& text) {
    MessageBoxW(owner_, text.c_str(), caption_.c_str(), MB_OK | MB_ICONERROR);
}

bool Win32Dialogs::Confirm(const std::wstring& text) {
    return MessageBoxW(owner_, text.c_str(), L"Confirm", MB_YESNO | MB_ICONQUESTION) == IDYES;
}

std::optional<std::wstring> Win32Dialogs::OpenFile(const FileDialogOptions& options) {
    return RunFileDialog(options, false);
}

std::optional<std::wstring> Win32Dialogs::SaveFile(const FileDialogOptions& options) {
    return RunFileDialog(options, true);
}

std::optional<std::wstring> Win32Dialogs::RunFileDialog(const FileDialogOptions& options,
                                                        bool save) {
    std::vector<wchar_t> filter = FilterList(options.filter);
    std::vector<wchar_t> file(32768, L'\0');
    options.fileName.copy(file.data(), file.size() - 1);

    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner_;
    ofn.lpstrFilter = filter.data();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrTitle = options.title.empty() ? nullptr : options.title.c_str();
    ofn.lpstrInitialDir = options.initialFolder.empty() ? nullptr : options.initialFolder.c_str();
    ofn.lpstrDefExt = options.defaultExt.empty() ? nullptr : options.defaultExt.c_str();
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING;
    ofn.Flags |= save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
    const BOOL chosen = save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
    if (!chosen) {
        return std::nullopt;
    }
    return std::wstring(file.data());
}

std::optional<std::wstring> Win32Dialogs::BrowseFolder(const std::wstring& title) {
    BROWSEINFOW info = {};
    info.hwndOwner = owner_;
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    PIDLIST_ABSOLUTE list = SHBrowseForFolderW(&info);
    if (!list) {
        return std::nullopt;
    }
    wchar_t path[MAX_PATH] = {};
    const BOOL ok = SHGetPathFromIDListW(list, path);
    CoTaskMemFree(list);
    if (!ok) {
        return std::nullopt;
    }
    return std::wstring(path);
}

}  // namespace kestrova
