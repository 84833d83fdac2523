#include "app/change_extension_dialog.h"

namespace kestrova {

namespace {

constexpr int kWidth = 360;
constexpr int kBrowseWidth = 25;

// A "..." button beside an edit, drawn flat.
void CreateBrowseButton(Container& parent, Button& button, const Bounds& edit) {
    button.Create(parent, L"...", Bounds{edit.Right() + 4, edit.y, kBrowseWidth, edit.height});
    SetWindowLongPtrW(button.Handle(), GWL_STYLE,
                      GetWindowLongPtrW(button.Handle(), GWL_STYLE) | BS_FLAT);
}

}  // namespace

bool TfrmChangeExt::Create(HWND owner, HFONT font, const ExtensionCommand& current) {
    if (!ModalDialog::Create(owner, font, L"Change Extension", kWidth, 132)) {
        return false;
    }
    lblFilePath.SetText(current.filePath);
    lblFileIcon.SetText(current.fileIcon);
    return true;
}

void TfrmChangeExt::Build() {
    const int editWidth = kWidth - 24 - 4 - kBrowseWidth;
    const Bounds pathEdit{12, 25, editWidth, 21};
    lblFilePath.Create(*this, L"File &Path:", Bounds{12, 10, editWidth, 14}, pathEdit);
    CreateBrowseButton(*this, btnBrowsePath, pathEdit);
    const Bounds iconEdit{12, 65, editWidth, 21};
    lblFileIcon.Create(*this, L"&Icon:", Bounds{12, 50, editWidth, 14}, iconEdit);
    CreateBrowseButton(*this, btnBrowseIcon, iconEdit);
    btnOK.Create(*this, L"&OK", Bounds{kWidth - 12 - 75 - 6 - 75, 98, 75, 25});
    btnCancel.Create(*this, L"&Cancel", Bounds{kWidth - 12 - 75, 98, 75, 25});

    // lblFilePathKeyPress: Enter presses OK.
    lblFilePath.OnEnter(*this, [this] { btnOK.Click(); });
    lblFileIcon.OnEnter(*this, [this] { btnOK.Click(); });
    btnBrowsePath.OnClick(*this, [this] { btnBrowsePathClick(); });
    btnBrowseIcon.OnClick(*this, [this] { btnBrowseIconClick(); });
    btnOK.OnClick(*this, [this] { btnOKClick(); });
    SetDefaultButton(btnOK.Handle());
    btnCancel.OnClick(*this, [this] { Close(false); });
}

void TfrmChangeExt::btnOKClick() {
    if (const auto problem = ChangeExtensionProblem(Typed())) {
        dialogs_.ShowMessage(*problem);
        return;
    }
    Close(true);
}

// OpenDialog1, without a filter: the chosen file's full name as it is.
void TfrmChangeExt::btnBrowsePathClick() {
    if (const auto file = dialogs_.OpenFile({})) {
        lblFilePath.SetText(*file);
    }
}

// The picker is shown from icon 0; what it returns is not used, the icon field stays.
void TfrmChangeExt::btnBrowseIconClick() {
    psvChangeIconDialog1.iconIndex = 0;
    psvChangeIconDialog1.Execute(Handle());
}

}  // namespace kestrova
