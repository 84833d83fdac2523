#include "app/change_icon_dialog.h"

#include "platform/error.h"

namespace kestrova {

PickIconDlgProc ShellPickIconDlg() {
    static const PickIconDlgProc found = [] {
        const HMODULE shell = LoadLibraryW(L"shell32.dll");  // stays loaded for the process
        const FARPROC proc = shell ? GetProcAddress(shell, MAKEINTRESOURCEA(62)) : nullptr;
        return reinterpret_cast<PickIconDlgProc>(reinterpret_cast<void (*)()>(proc));
    }();
    return found;
}

bool ChangeIconDialog::Execute(HWND owner) {
    if (!pick_) {
        throw Error(kPickIconUnsupportedMessage);
    }
    // An empty file name with room for the one the picker may write back.
    wchar_t iconFile[MAX_PATH] = {};
    return pick_(owner, iconFile, MAX_PATH, &iconIndex) != 0;
}

}  // namespace kestrova
