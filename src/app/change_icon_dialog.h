#pragma once
// The shell's icon picker (psvChangeIconDialog1 of the change dialog): shell32's export by
// ordinal 62, PickIconDlg, which not every Windows has.

#include <windows.h>

namespace kestrova {

using PickIconDlgProc = int(WINAPI*)(HWND owner, PWSTR iconFile, UINT iconFileLength,
                                     int* iconIndex);

inline constexpr wchar_t kPickIconUnsupportedMessage[] =
    L"This function is not supported by your version of Windows";

// shell32's PickIconDlg, looked up on the first call; null when shell32 has no ordinal 62.
PickIconDlgProc ShellPickIconDlg();

class ChangeIconDialog {
public:
    // pick: the picker to run, or null when the system has none.
    explicit ChangeIconDialog(PickIconDlgProc pick) : pick_(pick) {}

    // Shows the picker over owner with no icon file chosen and the icon index; true when the
    // user confirmed. Throws Error (kPickIconUnsupportedMessage) when there is no picker.
    bool Execute(HWND owner);

    int iconIndex = 0;

private:
    PickIconDlgProc pick_;
};

}  // namespace kestrova
