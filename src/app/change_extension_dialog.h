#pragma once
// "Change Extension": the open command and the icon of an association, each with a "..."
// button (a file dialog for the command, the shell's icon picker for the icon), accepted with
// OK once the file path is filled in. Enter in either field presses OK.

#include "app/change_icon_dialog.h"
#include "app/extension_dialogs.h"
#include "app/modal_dialog.h"
#include "platform/ui_controls.h"

namespace kestrova {

class TfrmChangeExt final : public ModalDialog {
public:
    // iconPicker: the shell's picker as looked up (null when the system has none).
    TfrmChangeExt(IDialogs& dialogs, PickIconDlgProc iconPicker)
        : ModalDialog(dialogs), psvChangeIconDialog1(iconPicker) {}

    // Creates the window over owner (hidden until ShowModal) with current in its fields.
    bool Create(HWND owner, HFONT font, const ExtensionCommand& current);
    ExtensionCommand Typed() const { return {lblFilePath.Text(), lblFileIcon.Text()}; }

    LabeledEdit lblFilePath;
    Button btnBrowsePath;
    LabeledEdit lblFileIcon;
    Button btnBrowseIcon;
    Button btnOK;
    Button btnCancel;
    ChangeIconDialog psvChangeIconDialog1;

private:
    void Build() override;
    void btnOKClick();
    void btnBrowsePathClick();
    void btnBrowseIconClick();
};

}  // namespace kestrova
