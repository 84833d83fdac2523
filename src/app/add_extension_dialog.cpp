#include "app/add_extension_dialog.h"

#include "app/extension_dialogs.h"

namespace kestrova {

namespace {

constexpr int kWidth = 300;
constexpr int kFieldStep = 40;
constexpr int kFields = 5;

}  // namespace

bool TfrmAddExt::Create(HWND owner, HFONT font) {
    return ModalDialog::Create(owner, font, L"Add New Extension", kWidth,
                               12 + kFields * kFieldStep + 38);
}

void TfrmAddExt::Build() {
    struct Field {
        LabeledEdit* edit;
        const wchar_t* caption;
    };
    const Field fields[kFields] = {{&lblExt, L"Main &Extension (ex: .zip):"},
                                   {&lblExtSecond, L"&Secondary Extension (ex: zip_file)"},
                                   {&lblFileDesc, L"File &Description:"},
                                   {&lblFilePath, L"File &Path:"},
                                   {&lblFileIcon, L"&Icon:"}};
    int y = 10;
    for (const Field& field : fields) {
        field.edit->Create(*this, field.caption, Bounds{12, y, kWidth - 24, 14},
                           Bounds{12, y + 15, kWidth - 24, 21});
        // lblExtKeyPress: Enter presses OK, empty fields and all.
        field.edit->OnEnter(*this, [this] { btnOK.Click(); });
        y += kFieldStep;
    }
    btnOK.Create(*this, L"&OK", Bounds{kWidth - 12 - 75 - 6 - 75, y + 6, 75, 25});
    btnCancel.Create(*this, L"&Cancel", Bounds{kWidth - 12 - 75, y + 6, 75, 25});
    btnOK.OnClick(*this, [this] { btnOKClick(); });
    SetDefaultButton(btnOK.Handle());
    btnCancel.OnClick(*this, [this] { Close(false); });
}

TExtInfo TfrmAddExt::Typed() const {
    TExtInfo info;
    info.extension = lblExt.Text();
    info.fileType = lblExtSecond.Text();
    info.description = lblFileDesc.Text();
    info.filePath = lblFilePath.Text();
    info.fileIcon = lblFileIcon.Text();
    return info;
}

void TfrmAddExt::btnOKClick() {
    if (const auto problem = AddExtensionProblem(Typed())) {
        dialogs_.ShowMessage(*problem);
        return;
    }
    Close(true);
}

}  // namespace kestrova
