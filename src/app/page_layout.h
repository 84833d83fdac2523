#pragma once
// Shared measures of the section pages: the margin, the "&Control Panel " group box at the
// bottom of a page and the row of buttons inside it. Coordinates are those of the designed
// page at 96 dots per inch; the helpers anchor what they place so that it follows the page
// as the window grows (ui_layout.h).

#include <initializer_list>
#include <string>
#include <vector>

#include "platform/list_model.h"
#include "platform/ui_controls.h"
#include "platform/ui_list_view.h"

namespace kestrova::layout {

inline constexpr int kMargin = 4;
inline constexpr int kGap = 6;
inline constexpr int kButtonHeight = 25;
inline constexpr wchar_t kControlPanelCaption[] = L"&Control Panel ";

// The page's drawing area.
Bounds PageArea(const Panel& page);
// Places the control panel group box at the bottom of the page, height pixels high; it
// stretches in width and stays at the bottom.
Bounds PlaceControlPanel(Panel& page, GroupBox& box, int height,
                         const std::wstring& caption = kControlPanelCaption);
// The width of a caption in the page's font, without its "&" marks.
int TextWidth(const Panel& page, const std::wstring& caption);
// A button wide enough for its caption (at least the usual 88 pixels).
int ButtonWidth(const Panel& page, const std::wstring& caption);

struct ButtonEntry {
    Button* button;
    std::wstring caption;
    bool enabled = true;
};
// Creates the buttons left to right starting at x, y, each anchored as given (a row at the
// bottom of the page by default); returns the x after the last one.
int PlaceButtonRow(Panel& page, int x, int y, std::initializer_list<ButtonEntry> buttons,
                   Anchors anchors = kAnchorBottomLeft);

// The layout of the manager pages: a list over the whole page down to a control panel that
// holds one row of buttons. The list grows with the page in both directions.
void PlaceListOverButtonRow(Panel& page, VirtualListView& list, ListModel& rows,
                            const std::vector<ListColumn>& columns, GroupBox& box,
                            std::initializer_list<ButtonEntry> buttons);

}  // namespace kestrova::layout
