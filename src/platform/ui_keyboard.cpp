#include "platform/ui_keyboard.h"

#include <commctrl.h>

#include <iterator>
#include <vector>

namespace kestrova {

namespace {

constexpr UINT kZOrderOnly =
    SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOREDRAW;

bool KeyDown(int key) {
    return (GetKeyState(key) & 0x8000) != 0;
}

bool Shown(HWND window) {
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    return (style & (WS_VISIBLE | WS_DISABLED)) == WS_VISIBLE;
}

bool IsControlParent(HWND window) {
    return (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) != 0;
}

bool HasClass(HWND window, const wchar_t* className) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, static_cast<int>(std::size(name)));
    return lstrcmpiW(name, className) == 0;
}

bool IsGroupBox(HWND window) {
    return HasClass(window, WC_BUTTONW) &&
           (GetWindowLongPtrW(window, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

// The innermost tab control that holds window (or is it), below root.
HWND TabControlAround(HWND window, HWND root) {
    for (HWND w = window; w && w != root; w = GetParent(w)) {
        if (HasClass(w, WC_TABCONTROLW)) {
            return w;
        }
    }
    return nullptr;
}

// Selects the next or previous tab as a click on it would, telling the tab control's parent.
void SwitchTab(HWND tab, bool forward) {
    const int count = TabCtrl_GetItemCount(tab);
    if (count < 2) {
        return;
    }
    const int current = TabCtrl_GetCurSel(tab);
    const int next = ((current < 0 ? 0 : current) + (forward ? 1 : count - 1)) % count;
    const HWND parent = GetParent(tab);
    NMHDR header = {tab, static_cast<UINT_PTR>(GetDlgCtrlID(tab)), TCN_SELCHANGING};
    if (SendMessageW(parent, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header))) {
        return;  // the page keeps the user
    }
    const HWND focus = GetFocus();
    TabCtrl_SetCurSel(tab, next);
    header.code = TCN_SELCHANGE;
    SendMessageW(parent, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
    // The focus was on the page now hidden: it goes to the new page.
    if (focus != tab) {
        const HWND first = FirstTabStop(tab);
        SetFocus(first ? first : tab);
    }
}

// The nearest button or check box after (or before) window among its siblings that Tab would
// stop at.
HWND TabStopBeside(HWND window, bool forward) {
    for (HWND w = GetWindow(window, forward ? GW_HWNDNEXT : GW_HWNDPREV); w;
         w = GetWindow(w, forward ? GW_HWNDNEXT : GW_HWNDPREV)) {
        if (Shown(w) && (GetWindowLongPtrW(w, GWL_STYLE) & WS_TABSTOP) &&
            (SendMessageW(w, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON)) {
            return w;
        }
    }
    return nullptr;
}

bool IsPushButton(HWND window, MSG& message) {
    const LRESULT code =
        SendMessageW(window, WM_GETDLGCODE, message.wParam, reinterpret_cast<LPARAM>(&message));
    return (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0;
}

// The keys IsDialogMessage leaves out or handles otherwise; true when message was one.
bool HandleExtraKey(HWND root, MSG& message) {
    if (message.message != WM_KEYDOWN) {
        return false;
    }
    const HWND focus = message.hwnd;
    const bool control = KeyDown(VK_CONTROL);
    switch (message.wParam) {
        case VK_TAB:
        case VK_NEXT:
        case VK_PRIOR:
            if (control) {
                const HWND tab = TabControlAround(focus, root);
                if (!tab) {
                    return false;
                }
                SwitchTab(tab, message.wParam == VK_NEXT ||
                                   (message.wParam == VK_TAB && !KeyDown(VK_SHIFT)));
                return true;
            }
            // Tab from a tab control's tabs goes into its page rather than past it.
            if (message.wParam == VK_TAB && !KeyDown(VK_SHIFT) && HasClass(focus, WC_TABCONTROLW) &&
                IsControlParent(focus)) {
                if (const HWND first = FirstTabStop(focus)) {
                    SetFocus(first);
                    return true;
                }
            }
            return false;
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN:
            // Arrows the control does not take move along its row of buttons and check boxes,
            // never onto a label or a group box.
            if (SendMessageW(focus, WM_GETDLGCODE, message.wParam,
                             reinterpret_cast<LPARAM>(&message)) &
                DLGC_WANTARROWS) {
                return false;
            }
            if (const HWND sibling =
                    TabStopBeside(focus, message.wParam == VK_RIGHT || message.wParam == VK_DOWN)) {
                SetFocus(sibling);
            }
            return true;
        case VK_RETURN:
            // A window that is no dialog box has no default button to move to the focus.
            if (IsWindowEnabled(focus) && IsPushButton(focus, message)) {
                SendMessageW(focus, BM_CLICK, 0, 0);
                return true;
            }
            return false;
    }
    return false;
}

bool Within(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.right <= outer.right && inner.top >= outer.top &&
           inner.bottom <= outer.bottom;
}

std::vector<HWND> Children(HWND container) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(container, GW_CHILD); child;
         child = GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    return children;
}

}  // namespace

void DispatchDialogMessage(HWND root, MSG& message) {
    if (root && message.hwnd && (message.hwnd == root || IsChild(root, message.hwnd))) {
        if (HandleExtraKey(root, message) || IsDialogMessageW(root, &message)) {
            return;
        }
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

bool HandleNextDialogControl(HWND root, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message != WM_NEXTDLGCTL) {
        return false;
    }
    const HWND target = LOWORD(lparam) ? reinterpret_cast<HWND>(wparam)
                                       : GetNextDlgTabItem(root, GetFocus(), wparam != 0);
    if (target && IsChild(root, target)) {
        SetFocus(target);
        // As in a dialog box, an edit reached this way has its text selected.
        if (SendMessageW(target, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) {
            SendMessageW(target, EM_SETSEL, 0, -1);
        }
    }
    return true;
}

void ArrangeGroupBoxes(HWND container) {
    for (const HWND child : Children(container)) {
        if (IsGroupBox(child)) {
            RECT box = {};
            GetWindowRect(child, &box);
            for (const HWND other : Children(container)) {
                RECT rect = {};
                if (other == child || !GetWindowRect(other, &rect) || !Within(rect, box)) {
                    continue;
                }
                const HWND before = GetWindow(other, GW_HWNDPREV);
                if (before != child) {
                    SetWindowPos(child, before ? before : HWND_TOP, 0, 0, 0, 0, kZOrderOnly);
                }
                break;
            }
        } else if (GetWindow(child, GW_CHILD)) {
            ArrangeGroupBoxes(child);
        }
    }
}

void SetTabOrder(std::initializer_list<HWND> windows) {
    HWND previous = nullptr;
    for (const HWND window : windows) {
        if (previous) {
            SetWindowPos(window, previous, 0, 0, 0, 0, kZOrderOnly);
        }
        previous = window;
    }
}

HWND FirstTabStop(HWND container) {
    for (HWND child = GetWindow(container, GW_CHILD); child;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (!Shown(child)) {
            continue;
        }
        if (IsControlParent(child)) {
            if (const HWND inner = FirstTabStop(child)) {
                return inner;
            }
        } else if (GetWindowLongPtrW(child, GWL_STYLE) & WS_TABSTOP) {
            return child;
        }
    }
    return nullptr;
}

}  // namespace kestrova
