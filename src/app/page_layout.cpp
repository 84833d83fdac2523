#include "app/page_layout.h"

#include <algorithm>

#include "platform/gdi_handles.h"

namespace kestrova::layout {

Bounds PageArea(const Panel& page) {
    RECT client = {};
    GetClientRect(page.Handle(), &client);
    return Bounds{kMargin, kMargin, client.right - 2 * kMargin, client.bottom - 2 * kMargin};
}

Bounds PlaceControlPanel(Panel& page, GroupBox& box, int height, const std::wstring& caption) {
    const Bounds area = PageArea(page);
    const Bounds bounds{area.x, area.Bottom() - height, area.width, height};
    box.Create(page, caption, bounds);
    box.Anchor(kAnchorBottomWide);
    return bounds;
}

int TextWidth(const Panel& page, const std::wstring& caption) {
    std::wstring shown;
    for (wchar_t c : caption) {
        if (c != L'&') {
            shown += c;
        }
    }
    const WindowDc dc(page.Handle());
    SIZE extent = {};
    SelectedObject keepFont(dc.Get(), page.Font());
    GetTextExtentPoint32W(dc.Get(), shown.c_str(), static_cast<int>(shown.size()), &extent);
    return static_cast<int>(extent.cx);
}

int ButtonWidth(const Panel& page, const std::wstring& caption) {
    return std::max(88, TextWidth(page, caption) + 24);
}

int PlaceButtonRow(Panel& page, int x, int y, std::initializer_list<ButtonEntry> buttons,
                   Anchors anchors) {
    for (const ButtonEntry& entry : buttons) {
        const int width = ButtonWidth(page, entry.caption);
        entry.button->Create(page, entry.caption, Bounds{x, y, width, kButtonHeight},
                             entry.enabled);
        entry.button->Anchor(anchors);
        x += width + kGap;
    }
    return x;
}

void PlaceListOverButtonRow(Panel& page, VirtualListView& list, ListModel& rows,
                            const std::vector<ListColumn>& columns, GroupBox& box,
                            std::initializer_list<ButtonEntry> buttons) {
    const Bounds area = PageArea(page);
    const Bounds panel = PlaceControlPanel(page, box, 52);
    list.Create(page, rows, Bounds{area.x, area.y, area.width, panel.y - kGap - area.y}, columns);
    list.Anchor(kAnchorAll);
    PlaceButtonRow(page, panel.x + 10, panel.y + 18, buttons);
}

}  // namespace kestrova::layout
