#pragma once
// "Add New Extension": the five fields of a new association, accepted with OK once the main
// extension and the file path are filled in. Enter in any field presses OK.

#include "app/modal_dialog.h"
#include "platform/ui_controls.h"
#include "tools/file_association_store.h"

namespace kestrova {

class TfrmAddExt final : public ModalDialog {
public:
    explicit TfrmAddExt(IDialogs& dialogs) : ModalDialog(dialogs) {}

    // Creates the window over owner (hidden until ShowModal).
    bool Create(HWND owner, HFONT font);
    // The fields as typed: not trimmed, no "." added.
    TExtInfo Typed() const;

    LabeledEdit lblExt;
    LabeledEdit lblExtSecond;
    LabeledEdit lblFileDesc;
    LabeledEdit lblFilePath;
    LabeledEdit lblFileIcon;
    Button btnOK;
    Button btnCancel;

private:
    void Build() override;
    void btnOKClick();
};

}  // namespace kestrova
