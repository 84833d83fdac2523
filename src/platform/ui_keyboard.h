#pragma once
// Keyboard use of the program's windows. Every message loop passes its messages through
// DispatchDialogMessage, which gives a window's controls the keys of a dialog box: Tab and
// Shift+Tab through the tab stops of the shown controls, arrows within a group, Enter and
// Escape, and the "&" letters of the captions. On top of what IsDialogMessage does it switches
// the pages of a tab control with Ctrl+Tab and Ctrl+PageDown (Shift+Ctrl+Tab, Ctrl+PageUp
// back), presses a focused push button with Enter, and steps from a tab control into its page.

#include <windows.h>

#include <initializer_list>

namespace kestrova {

// One step of a message loop whose dialog keys belong to root: the message is handled as a
// dialog key, or translated and dispatched.
void DispatchDialogMessage(HWND root, MSG& message);

// For the window procedure of a root window that is no system dialog box: answers
// WM_NEXTDLGCTL, which IsDialogMessage sends to move the focus for the "&" letter of a label or
// a group box. True when message was WM_NEXTDLGCTL.
bool HandleNextDialogControl(HWND root, UINT message, WPARAM wparam, LPARAM lparam);

// Puts each group box of container (and of the containers inside it) in the tab order right
// before the first control that lies within it, so that its "&" letter leads to that control;
// creation order often places a box before the list above it.
void ArrangeGroupBoxes(HWND container);

// Moves the windows, siblings all, to follow one another in the tab order, in the order
// given, right after the first.
void SetTabOrder(std::initializer_list<HWND> windows);

// The first control Tab reaches inside container (a page), or nullptr.
HWND FirstTabStop(HWND container);

}  // namespace kestrova
