#pragma once
// Windows that hold controls: the Container interface the control wrappers are created on,
// and Panel, a plain child window that dispatches its children's notifications through its
// own EventTable and keeps them in place by their anchors as it is resized. Pages of a page
// control, frames and the bottom panel are panels.

#include <windows.h>

#include <optional>

#include "platform/ui_events.h"
#include "platform/ui_layout.h"
#include "platform/window_owner.h"

namespace kestrova {

// Position and size in the parent's client coordinates, in pixels.
struct Bounds {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    int Right() const { return x + width; }
    int Bottom() const { return y + height; }
};

class Container {
public:
    virtual ~Container() = default;
    virtual HWND Handle() const = 0;
    virtual EventTable& Events() = 0;
    // The font every control placed here gets.
    virtual HFONT Font() const = 0;
};

class Panel final : public Container {
public:
    enum class Border { None, Pane, Sunken };

    Panel() = default;
    ~Panel() override;
    Panel(const Panel&) = delete;
    Panel& operator=(const Panel&) = delete;

    // Creates the panel as a child of parent (visible unless visible is false); it shares the
    // parent's font and error reporter.
    void Create(Container& parent, Bounds bounds, Border border = Border::None,
                bool visible = true);
    // Same, under a window that is no Container (a tab control hosting pages).
    void Create(HWND parent, HFONT font, const EventTable::ErrorReporter& reporter, Bounds bounds,
                Border border = Border::None, bool visible = true);

    HWND Handle() const override { return hwnd_; }
    EventTable& Events() override { return events_; }
    HFONT Font() const override { return font_; }

    // Fills the background with this colour (and gives it to labels and check boxes).
    void SetBackground(COLORREF colour);
    void Show(bool visible) { ShowWindow(hwnd_, visible ? SW_SHOW : SW_HIDE); }
    bool Visible() const { return IsWindowVisible(hwnd_) != FALSE; }
    // The client rectangle inside the border.
    Bounds Inner() const;
    // Keeps the panel where anchors say as its parent is resized (ui_layout.h).
    void Anchor(Anchors anchors) { AnchorWindow(hwnd_, anchors); }

private:
    friend LRESULT CALLBACK OwnerWindowProc<Panel>(HWND, UINT, WPARAM, LPARAM);
    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);

    HWND hwnd_ = nullptr;
    HFONT font_ = nullptr;
    Border border_ = Border::None;
    std::optional<COLORREF> background_;
    HBRUSH backgroundBrush_ = nullptr;
    EventTable events_;
    AnchorLayout layout_;  // the children, kept in place as the panel is resized
};

}  // namespace kestrova
