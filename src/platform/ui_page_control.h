#pragma once
// Pages stacked in one place with one shown at a time. With visible tabs it is a tab control
// whose tabs switch the pages; with hidden tabs only the program switches them, and the pages
// sit in a raised frame.

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/ui_controls.h"

namespace kestrova {

class PageControl : public Control {
public:
    void Create(Container& parent, Bounds bounds, bool tabsVisible);

    // A new page, hidden until shown; controls are created on it as on any panel.
    Panel& AddPage(const std::wstring& caption);
    Panel& Page(size_t index) { return *pages_.at(index); }
    size_t PageCount() const { return pages_.size(); }

    void ShowPage(size_t index);
    size_t ActivePage() const { return active_; }
    // The index of a page, for code that holds the panel.
    size_t IndexOf(const Panel& page) const;
    void OnChange(EventTable::Handler handler) { onChange_ = std::move(handler); }

private:
    Bounds PageBounds() const;
    // The tab control's pages follow its size.
    static LRESULT CALLBACK TabSubclassProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam,
                                            UINT_PTR id, DWORD_PTR self);
    void PlacePages();

    bool tabsVisible_ = false;
    Panel frame_;  // the hidden-tabs host
    HFONT font_ = nullptr;
    EventTable::ErrorReporter reporter_;
    std::vector<std::unique_ptr<Panel>> pages_;
    size_t active_ = 0;
    EventTable::Handler onChange_;
};

}  // namespace kestrova
