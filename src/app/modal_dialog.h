#pragma once
// A dialog window of the program's own: created for one use, shown modally over its owner
// (which is disabled meanwhile), closed with OK or Cancel. Its controls are the usual wrappers
// placed by the dialog class in Build; what a handler throws is shown through IDialogs.

#include <windows.h>

#include <string>

#include "platform/dialogs.h"
#include "platform/gdi_handles.h"
#include "platform/ui_layout.h"
#include "platform/ui_panel.h"
#include "platform/window_owner.h"

namespace kestrova {

class ModalDialog : public Container {
public:
    explicit ModalDialog(IDialogs& dialogs);
    ~ModalDialog() override;
    ModalDialog(const ModalDialog&) = delete;
    ModalDialog& operator=(const ModalDialog&) = delete;

    // Creates the window, hidden, centred on owner (or on the screen without one), with a
    // client area of the given size, and places the controls; false when it cannot be made.
    // The size, the controls' places and font are those of 96 dots per inch: the dialog
    // scales them to its owner's dots per inch.
    bool Create(HWND owner, HFONT font, const std::wstring& title, int clientWidth,
                int clientHeight);
    // Shows the dialog and dispatches the thread's messages until it closes; true when it
    // was closed with OK. The window is hidden afterwards and goes with the object.
    bool ShowModal();
    // Closed with OK (btnOK's tag 1); false until then and after Cancel.
    bool Accepted() const { return accepted_; }
    // Closed with OK or Cancel (or the close box), whether or not ShowModal ran.
    bool Closed() const { return closed_; }

    HWND Handle() const override { return hwnd_; }
    EventTable& Events() override { return events_; }
    HFONT Font() const override { return font_; }

protected:
    virtual void Build() = 0;
    // Ends the modal loop; the window's close box and Esc close with accepted false.
    void Close(bool accepted);
    // The button Enter presses when the focus is on a control that does not take Enter itself
    // (a check box, another dialog's list); a focused push button takes Enter for itself.
    void SetDefaultButton(HWND button);

    IDialogs& dialogs_;

private:
    friend LRESULT CALLBACK OwnerWindowProc<ModalDialog>(HWND, UINT, WPARAM, LPARAM);
    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
    void ScaleTo(int dpi, int clientWidth, int clientHeight);

    HWND hwnd_ = nullptr;
    HWND owner_ = nullptr;
    HWND defaultButton_ = nullptr;
    HFONT font_ = nullptr;
    UniqueFont scaledFont_;  // the given font at the owner's dots per inch, where that differs
    AnchorLayout layout_;
    EventTable events_;
    bool closed_ = false;
    bool accepted_ = false;
};

}  // namespace kestrova
