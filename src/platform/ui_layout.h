#pragma once
// Windows that grow and scale. Every control is placed in the coordinates of a 96 dots-per-inch
// screen at the designed size of its parent; the parent then keeps each child where its anchors
// say as it is resized, and scales the designed places by the window's dots per inch.
//
//   lvErrors.Anchor(kAnchorAll);          // grows with the page in both directions
//   btnExport.Anchor(kAnchorTopRight);    // keeps its distance to the top and right edges
//
// A child is recorded by its parent when it is created (anchored top-left); Anchor changes the
// edges it follows and takes its present place as its designed one (so a control moved while
// the page is built is anchored once it stands where it belongs). Panels and the main window answer
// these records; other parents (dialogs) ignore them and their children stay where they were put.

#include <windows.h>

#include <vector>

namespace kestrova {

// The edges of its parent a child keeps its distance to. Left and right together stretch it in
// width, top and bottom in height; with neither of a pair it keeps its left (top) distance.
using Anchors = unsigned;
inline constexpr Anchors kAnchorLeft = 1;
inline constexpr Anchors kAnchorTop = 2;
inline constexpr Anchors kAnchorRight = 4;
inline constexpr Anchors kAnchorBottom = 8;
inline constexpr Anchors kAnchorTopLeft = kAnchorLeft | kAnchorTop;
inline constexpr Anchors kAnchorAll = kAnchorLeft | kAnchorTop | kAnchorRight | kAnchorBottom;
// Stretches in width, keeps its height and its place under the top edge.
inline constexpr Anchors kAnchorTopWide = kAnchorLeft | kAnchorTop | kAnchorRight;
// Stretches in width, keeps its height and its place over the bottom edge.
inline constexpr Anchors kAnchorBottomWide = kAnchorLeft | kAnchorBottom | kAnchorRight;
inline constexpr Anchors kAnchorTopRight = kAnchorTop | kAnchorRight;
inline constexpr Anchors kAnchorBottomLeft = kAnchorLeft | kAnchorBottom;
inline constexpr Anchors kAnchorBottomRight = kAnchorRight | kAnchorBottom;

// The dots per inch the layout is designed for.
inline constexpr int kDesignDpi = 96;

// A length of the 96-dpi design at dpi.
inline int ScaleToDpi(int length, int dpi) {
    return MulDiv(length, dpi, kDesignDpi);
}

// A child's designed place: its rectangle and its parent's client size, both at 96 dpi.
struct AnchoredPlace {
    RECT designed = {};
    SIZE parent = {};
    Anchors anchors = kAnchorTopLeft;
};

// Where the child goes in a parent whose client area is parent pixels, at dpi.
RECT AnchoredRect(const AnchoredPlace& place, SIZE parent, int dpi);

// The children of one window with their designed places.
class AnchorLayout {
public:
    // Records child with its anchors (again, for a child recorded before), taking its present
    // place as designed: the present place is read at the window's present dots per inch.
    void Add(HWND parent, HWND child, Anchors anchors);
    // Moves and sizes every recorded child for the parent's present client size, in one pass.
    void Apply(HWND parent);

private:
    struct Entry {
        HWND child;
        AnchoredPlace place;
    };
    std::vector<Entry> entries_;
};

// Asks child's parent to keep child where anchors say (a no-op under other parents).
void AnchorWindow(HWND child, Anchors anchors);
// The message AnchorWindow sends: wparam the child, lparam the anchors.
UINT AnchorMessage();
// Sent to every window under a top-level window when its dots per inch changed: panels lay
// out their children again, lists scale their columns.
UINT RelayoutMessage();
// Sends RelayoutMessage to every descendant of window, parents before their children.
void RelayoutDescendants(HWND window);

// Gives every descendant of window that shows its text in from the font to instead.
void ReplaceFontOfDescendants(HWND window, HFONT from, HFONT to);

// The dots per inch the window's top-level window lays out at: what SetLayoutDpi gave it,
// else the system's for that window.
int WindowDpi(HWND window);
void SetLayoutDpi(HWND topLevel, int dpi);
// The screen's dots per inch for a window: GetDpiForWindow where the system has it (per
// monitor), else the screen's logical pixels per inch.
int SystemDpi(HWND window);

}  // namespace kestrova
