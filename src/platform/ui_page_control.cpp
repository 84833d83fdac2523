#include "platform/ui_page_control.h"

#include <commctrl.h>

#include <stdexcept>

#include "platform/ui_keyboard.h"

namespace kestrova {

void PageControl::Create(Container& parent, Bounds bounds, bool tabsVisible) {
    tabsVisible_ = tabsVisible;
    font_ = parent.Font();
    reporter_ = parent.Events().Reporter();
    if (!tabsVisible) {
        frame_.Create(parent, bounds, Panel::Border::Pane);
        hwnd_ = frame_.Handle();
        return;
    }
    // A control parent, so that Tab goes on into the page shown; Ctrl+Tab switches the pages
    // (ui_keyboard.h).
    CreateChild(parent, WC_TABCONTROLW, L"", WS_TABSTOP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                WS_EX_CONTROLPARENT, bounds);
    SetWindowSubclass(hwnd_, TabSubclassProc, 1, reinterpret_cast<DWORD_PTR>(this));
    parent.Events().OnNotify(hwnd_, [this](NMHDR& header, LRESULT&) {
        if (header.code != TCN_SELCHANGE) {
            return false;
        }
        const int selected = TabCtrl_GetCurSel(hwnd_);
        if (selected >= 0) {
            ShowPage(static_cast<size_t>(selected));
            if (onChange_) {
                onChange_();
            }
        }
        return true;
    });
}

Bounds PageControl::PageBounds() const {
    if (!tabsVisible_) {
        return frame_.Inner();
    }
    RECT area = {};
    GetClientRect(hwnd_, &area);
    TabCtrl_AdjustRect(hwnd_, FALSE, &area);
    return Bounds{area.left, area.top, area.right - area.left, area.bottom - area.top};
}

LRESULT CALLBACK PageControl::TabSubclassProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam,
                                              UINT_PTR id, DWORD_PTR self) {
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, TabSubclassProc, id);
    } else if (message == WM_SIZE || message == RelayoutMessage()) {
        const LRESULT result = DefSubclassProc(hwnd, message, wparam, lparam);
        reinterpret_cast<PageControl*>(self)->PlacePages();
        return result;
    }
    return DefSubclassProc(hwnd, message, wparam, lparam);
}

void PageControl::PlacePages() {
    const Bounds bounds = PageBounds();
    for (const auto& page : pages_) {
        SetWindowPos(page->Handle(), nullptr, bounds.x, bounds.y, bounds.width, bounds.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

Panel& PageControl::AddPage(const std::wstring& caption) {
    if (tabsVisible_) {
        TCITEMW item = {};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(caption.c_str());
        TabCtrl_InsertItem(hwnd_, static_cast<int>(pages_.size()), &item);
    }
    auto page = std::make_unique<Panel>();
    page->Create(hwnd_, font_, reporter_, PageBounds(), Panel::Border::None, pages_.empty());
    page->Anchor(kAnchorAll);  // fills the frame (the tab control places its pages itself)
    pages_.push_back(std::move(page));
    return *pages_.back();
}

void PageControl::ShowPage(size_t index) {
    if (index >= pages_.size()) {
        throw std::out_of_range("page index out of range");
    }
    active_ = index;
    if (tabsVisible_) {
        TabCtrl_SetCurSel(hwnd_, static_cast<int>(index));
    }
    const HWND focus = GetFocus();
    bool focusHidden = false;
    // Show the new page before hiding the others, so nothing flashes through.
    pages_[index]->Show(true);
    for (size_t i = 0; i < pages_.size(); ++i) {
        if (i != index) {
            focusHidden = focusHidden || IsChild(pages_[i]->Handle(), focus);
            pages_[i]->Show(false);
        }
    }
    // Keys must not go on to a control out of sight: the focus follows to the page shown.
    if (focusHidden) {
        const HWND first = FirstTabStop(pages_[index]->Handle());
        SetFocus(first ? first : GetAncestor(hwnd_, GA_ROOT));
    }
}

size_t PageControl::IndexOf(const Panel& page) const {
    for (size_t i = 0; i < pages_.size(); ++i) {
        if (pages_[i].get() == &page) {
            return i;
        }
    }
    throw std::out_of_range("not a page of this control");
}

}  // namespace kestrova
