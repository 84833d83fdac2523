#pragma once
// The two dialogs of the File Extensions Manager as the frame sees them: "Add New Extension"
// (TfrmAddExt) and "Change Extension" (TfrmChangeExt), each shown for one use. The frame shows
// them through IExtensionDialogs, so tests can answer them as they answer message boxes;
// WindowExtensionDialogs shows the real windows. What each dialog accepts is checked by the
// plain functions below.

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "app/change_icon_dialog.h"
#include "platform/dialogs.h"
#include "tools/file_association_store.h"

namespace kestrova {

// The only complaint either dialog makes.
inline constexpr wchar_t kFillExtensionMessage[] = L"Please Fill Main Extension or File Path";

// The two fields of the change dialog.
struct ExtensionCommand {
    std::wstring filePath;
    std::wstring fileIcon;

    friend bool operator==(const ExtensionCommand&, const ExtensionCommand&) = default;
};

// Why the add dialog cannot close with OK (the main extension or the file path is empty);
// nothing when it can. The other fields may stay empty.
std::optional<std::wstring> AddExtensionProblem(const TExtInfo& typed);
// The same for the change dialog, which needs the file path.
std::optional<std::wstring> ChangeExtensionProblem(const ExtensionCommand& typed);

class IExtensionDialogs {
public:
    virtual ~IExtensionDialogs() = default;

    // "Add New Extension": the five fields as typed (extension, file type, description,
    // command, icon), or nothing when cancelled.
    virtual std::optional<TExtInfo> AddExtension() = 0;
    // "Change Extension" with current in its two fields: the fields as accepted, or nothing
    // when cancelled.
    virtual std::optional<ExtensionCommand> ChangeExtension(const ExtensionCommand& current) = 0;
};

// The real dialogs, modal over owner, in font; message boxes and file dialogs go to dialogs.
class WindowExtensionDialogs final : public IExtensionDialogs {
public:
    WindowExtensionDialogs(HWND owner, HFONT font, IDialogs& dialogs,
                           std::function<PickIconDlgProc()> lookUpIconPicker = ShellPickIconDlg)
        : owner_(owner),
          font_(font),
          dialogs_(dialogs),
          lookUpIconPicker_(std::move(lookUpIconPicker)) {}

    std::optional<TExtInfo> AddExtension() override;
    std::optional<ExtensionCommand> ChangeExtension(const ExtensionCommand& current) override;

private:
    HWND owner_;
    HFONT font_;
    IDialogs& dialogs_;
    std::function<PickIconDlgProc()> lookUpIconPicker_;
};

}  // namespace kestrova
