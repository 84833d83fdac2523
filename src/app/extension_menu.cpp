#include "app/extension_menu.h"

namespace kestrova {

ExtensionMenu::ExtensionMenu() : menu_(CreatePopupMenu()) {
    const HMENU menu = menu_.Get();
    AppendMenuW(menu, MF_STRING, kDeleteCommand, L"Delete");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, kBackupCommand, L"Backup");
    AppendMenuW(menu, MF_STRING, kRestoreCommand, L"Restore");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, kAddCommand, L"Add");
    AppendMenuW(menu, MF_STRING, kChangeCommand, L"Change");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, kRefreshCommand, L"Refresh");
}

void ExtensionMenu::Show(HWND owner, POINT at) const {
    TrackPopupMenu(menu_.Get(), TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN, at.x, at.y, 0,
                   owner, nullptr);
}

}  // namespace kestrova
