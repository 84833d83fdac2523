#pragma once
// The dialogs of a window a benchmark drives: nothing may wait for a person, so every box is
// counted and answered "No" or cancelled.

#include <cstddef>
#include <optional>
#include <string>

#include "platform/dialogs.h"

namespace kestrova::bench {

class SilentDialogs final : public IDialogs {
public:
    void ShowMessage(const std::wstring&) override { ++shown; }
    void ShowInformation(const std::wstring&, const std::wstring&) override { ++shown; }
    void ShowError(const std::wstring&) override { ++shown; }
    bool Confirm(const std::wstring&) override {
        ++shown;
        return false;
    }
    std::optional<std::wstring> OpenFile(const FileDialogOptions&) override {
        ++shown;
        return std::nullopt;
    }
    std::optional<std::wstring> SaveFile(const FileDialogOptions&) override {
        ++shown;
        return std::nullopt;
    }
    std::optional<std::wstring> BrowseFolder(const std::wstring&) override {
        ++shown;
        return std::nullopt;
    }

    size_t shown = 0;
};

}  // namespace kestrova::bench
