#pragma once
// pmExtension, the pop-up menu of the File Extensions Manager's list: "Delete", "Backup",
// "Restore", "Add", "Change" and "Refresh", each running the handler of its button.

#include <windows.h>

#include "platform/gdi_handles.h"

namespace kestrova {

class ExtensionMenu {
public:
    // The items' command ids, as they arrive in WM_COMMAND.
    static constexpr UINT kDeleteCommand = 0x7201;
    static constexpr UINT kBackupCommand = 0x7202;
    static constexpr UINT kRestoreCommand = 0x7203;
    static constexpr UINT kAddCommand = 0x7204;
    static constexpr UINT kChangeCommand = 0x7205;
    static constexpr UINT kRefreshCommand = 0x7206;

    ExtensionMenu();
    HMENU Handle() const { return menu_.Get(); }
    // Opens the menu at a point of the screen; the chosen item arrives at owner as WM_COMMAND.
    void Show(HWND owner, POINT at) const;

private:
    UniqueMenu menu_;
};

}  // namespace kestrova
