#include "support/scripted_dialogs.h"

#include <gtest/gtest.h>

#include "platform/text.h"

namespace kestrova::test {

namespace {

template <typename T>
T TakeAnswer(std::deque<T>& answers, const wchar_t* what, const std::wstring& text, T fallback) {
    if (answers.empty()) {
        ADD_FAILURE() << "unexpected " << ToUtf8(what) << ": " << ToUtf8(text);
        return fallback;
    }
    T answer = std::move(answers.front());
    answers.pop_front();
    return answer;
}

}  // namespace

std::vector<std::wstring> ScriptedDialogs::Texts(ShownDialog::Kind kind) const {
    std::vector<std::wstring> texts;
    for (const ShownDialog& dialog : shown) {
        if (dialog.kind == kind) {
            texts.push_back(dialog.text);
        }
    }
    return texts;
}

void ScriptedDialogs::ShowMessage(const std::wstring& text) {
    shown.push_back({ShownDialog::Kind::Message, text, {}});
}

void ScriptedDialogs::ShowInformation(const std::wstring& text, const std::wstring& caption) {
    shown.push_back({ShownDialog::Kind::Information, text, caption});
}

void ScriptedDialogs::ShowError(const std::wstring& text) {
    shown.push_back({ShownDialog::Kind::Error, text, {}});
}

bool ScriptedDialogs::Confirm(const std::wstring& text) {
    shown.push_back({ShownDialog::Kind::Question, text, {}});
    return TakeAnswer(confirmAnswers, L"question", text, false);
}

std::optional<std::wstring> ScriptedDialogs::OpenFile(const FileDialogOptions& options) {
    shown.push_back({ShownDialog::Kind::OpenFile, options.title, {}, options.filter});
    return TakeAnswer(fileAnswers, L"open dialog", options.title, std::optional<std::wstring>());
}

std::optional<std::wstring> ScriptedDialogs::SaveFile(const FileDialogOptions& options) {
    shown.push_back({ShownDialog::Kind::SaveFile, options.title, {}, options.filter});
    return TakeAnswer(fileAnswers, L"save dialog", options.title, std::optional<std::wstring>());
}

std::optional<std::wstring> ScriptedDialogs::BrowseFolder(const std::wstring& title) {
    shown.push_back({ShownDialog::Kind::BrowseFolder, title, {}});
    return TakeAnswer(folderAnswers, L"folder dialog", title, std::optional<std::wstring>());
}

}  // namespace kestrova::test
