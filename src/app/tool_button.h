#pragma once
// The flat buttons down the left of the main window: a glyph, optionally a caption in bold
// blue, no frame until the mouse is over it. The button of the section on screen stays lit.
// By keyboard: Tab reaches the lit button, the arrows move along the column, Space or Enter
// presses the focused one.

#include <windows.h>

#include <functional>
#include <string>

#include "app/artwork.h"
#include "platform/ui_panel.h"
#include "platform/window_owner.h"

namespace kestrova {

class ToolButton {
public:
    // Paints what lies behind the button: area is in the parent's coordinates and dc is
    // offset so that parent coordinates land in the right place.
    using Backdrop = std::function<void(HDC dc, const RECT& area)>;

    ToolButton() = default;
    ToolButton(const ToolButton&) = delete;
    ToolButton& operator=(const ToolButton&) = delete;

    void Create(Container& parent, const std::wstring& caption, Glyph glyph, Bounds bounds,
                HFONT captionFont, Backdrop backdrop);
    void OnClick(Container& parent, EventTable::Handler handler);
    // Shows the hint in a tooltip while the mouse rests on the button.
    void SetHint(HWND tooltip, const std::wstring& hint);

    HWND Handle() const { return hwnd_; }
    std::wstring Caption() const;
    const std::wstring& Hint() const { return hint_; }
    Bounds Position() const;
    bool Selected() const { return selected_; }
    void SetSelected(bool selected);
    // Presses the button: its click handler runs.
    void Click();

private:
    friend LRESULT CALLBACK OwnerWindowProc<ToolButton>(HWND, UINT, WPARAM, LPARAM);
    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
    void Paint(HDC dc);
    void FocusNeighbour(bool forward) const;

    HWND hwnd_ = nullptr;
    Glyph glyph_ = Glyph::ScanErrors;
    HFONT font_ = nullptr;
    Backdrop backdrop_;
    std::wstring hint_;
    bool selected_ = false;
    bool hot_ = false;
    bool pressed_ = false;
};

}  // namespace kestrova
