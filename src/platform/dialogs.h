#pragma once
// Every message box and file or folder dialog of the program goes through this interface, so
// tests can answer them: the window gets the Win32 implementation, tests a scripted one.

#include <optional>
#include <string>

namespace kestrova {

struct FileDialogOptions {
    std::wstring title;          // empty: the system's own title
    std::wstring filter;         // "Description|*.ext|Other|*.a;*.b"; empty: every file
    std::wstring defaultExt;     // appended to a typed name without extension, no dot
    std::wstring fileName;       // proposed name
    std::wstring initialFolder;  // empty: the system's choice
};

class IDialogs {
public:
    virtual ~IDialogs() = default;

    // A plain message box (no icon) with only an OK button.
    virtual void ShowMessage(const std::wstring& text) = 0;
    // An OK box with the information icon and the given caption.
    virtual void ShowInformation(const std::wstring& text, const std::wstring& caption) = 0;
    // An OK box with the error icon: failures the user must know about.
    virtual void ShowError(const std::wstring& text) = 0;
    // A question with Yes and No; true for Yes.
    virtual bool Confirm(const std::wstring& text) = 0;

    // The chosen file's full path, or nothing when cancelled.
    virtual std::optional<std::wstring> OpenFile(const FileDialogOptions& options) = 0;
    virtual std::optional<std::wstring> SaveFile(const FileDialogOptions& options) = 0;
    // The chosen folder's path (no trailing "\"), or nothing when cancelled.
    virtual std::optional<std::wstring> BrowseFolder(const std::wstring& title) = 0;
};

}  // namespace kestrova
