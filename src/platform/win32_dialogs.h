#pragma once
// The real dialogs: Win32 message boxes, the common file dialogs and the shell's folder
// browser, all owned by one window.

#include <windows.h>

#include "platform/dialogs.h"

namespace kestrova {

class Win32Dialogs final : public IDialogs {
public:
    // caption titles the message boxes that have no caption of their own.
    explicit Win32Dialogs(std::wstring caption, HWND owner = nullptr)
        : caption_(std::move(caption)), owner_(owner) {}

    void SetOwner(HWND owner) { owner_ = owner; }

    void ShowMessage(const std::wstring& text) override;
    void ShowInformation(const std::wstring& text, const std::wstring& caption) override;
    void ShowError(const std::wstring& text) override;
    bool Confirm(const std::wstring& text) override;
    std::optional<std::wstring> OpenFile(const FileDialogOptions& options) override;
    std::optional<std::wstring> SaveFile(const FileDialogOptions& options) override;
    std::optional<std::wstring> BrowseFolder(const std::wstring& title) override;

private:
    std::optional<std::wstring> RunFileDialog(const FileDialogOptions& options, bool save);

    std::wstring caption_;
    HWND owner_;
};

}  // namespace kestrova
