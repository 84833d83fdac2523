#include "app/extension_dialogs.h"

#include "app/add_extension_dialog.h"
#include "app/change_extension_dialog.h"
#include "platform/error.h"

namespace kestrova {

std::optional<std::wstring> AddExtensionProblem(const TExtInfo& typed) {
    if (typed.extension.empty() || typed.filePath.empty()) {
        return std::wstring(kFillExtensionMessage);
    }
    return std::nullopt;
}

std::optional<std::wstring> ChangeExtensionProblem(const ExtensionCommand& typed) {
    if (typed.filePath.empty()) {
        return std::wstring(kFillExtensionMessage);
    }
    return std::nullopt;
}

std::optional<TExtInfo> WindowExtensionDialogs::AddExtension() {
    TfrmAddExt dialog(dialogs_);
    if (!dialog.Create(owner_, font_)) {
        throw Error(L"The dialog \"Add New Extension\" could not be opened");
    }
    if (!dialog.ShowModal()) {
        return std::nullopt;
    }
    return dialog.Typed();
}

std::optional<ExtensionCommand> WindowExtensionDialogs::ChangeExtension(
    const ExtensionCommand& current) {
    TfrmChangeExt dialog(dialogs_, lookUpIconPicker_());
    if (!dialog.Create(owner_, font_, current)) {
        throw Error(L"The dialog \"Change Extension\" could not be opened");
    }
    if (!dialog.ShowModal()) {
        return std::nullopt;
    }
    return dialog.Typed();
}

}  // namespace kestrova
