#pragma once
// IDialogs for tests: records every message box and dialog the code under test shows, and
// answers questions and file dialogs from answers the test prepared. A question or dialog
// without a prepared answer fails the test and is answered "No" / cancelled.

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/dialogs.h"

namespace kestrova::test {

struct ShownDialog {
    enum class Kind { Message, Information, Error, Question, OpenFile, SaveFile, BrowseFolder };
    Kind kind;
    std::wstring text;     // the message, or the dialog's title
    std::wstring caption;  // information boxes' caption
    std::wstring filter;   // file dialogs' filter
};

class ScriptedDialogs final : public IDialogs {
public:
    std::vector<ShownDialog> shown;
    std::deque<bool> confirmAnswers;
    std::deque<std::optional<std::wstring>> fileAnswers;
    std::deque<std::optional<std::wstring>> folderAnswers;

    // The texts shown of one kind, in order.
    std::vector<std::wstring> Texts(ShownDialog::Kind kind) const;
    size_t Count(ShownDialog::Kind kind) const { return Texts(kind).size(); }

    void ShowMessage(const std::wstring& text) override;
    void ShowInformation(const std::wstring& text, const std::wstring& caption) override;
    void ShowError(const std::wstring& text) override;
    bool Confirm(const std::wstring& text) override;
    std::optional<std::wstring> OpenFile(const FileDialogOptions& options) override;
    std::optional<std::wstring> SaveFile(const FileDialogOptions& options) override;
    std::optional<std::wstring> BrowseFolder(const std::wstring& title) override;
};

}  // namespace kestrova::test
