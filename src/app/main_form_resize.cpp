// Growing with the window, scaling with the screen's dots per inch, and the window's size and
// place remembered between runs. The controls themselves are kept in place by their parents'
// anchors (ui_layout.h); here the window changes its fonts, pictures and size.
#include <windows.h>
#include <commctrl.h>

#include <iterator>

#include "app/main_form.h"
#include "app/window_place.h"

namespace kestrova {

namespace {

bool IsListView(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, static_cast<int>(std::size(name)));
    return lstrcmpiW(name, WC_LISTVIEWW) == 0;
}

}  // namespace

void TfmMainForm::ApplyDpi(int dpi, const RECT* suggested) {
    if (dpi <= 0) {
        return;
    }
    if (dpi != dpi_) {
        dpi_ = dpi;
        SetLayoutDpi(hwnd_, dpi);
        ReplaceFonts();
        UniqueImageList images = CreateScanImages(dpi);
        struct Swap {
            HIMAGELIST from;
            HIMAGELIST to;
        } swap{ImageList2.Get(), images.Get()};
        EnumChildWindows(
            hwnd_,
            [](HWND child, LPARAM context) -> BOOL {
                const auto& s = *reinterpret_cast<const Swap*>(context);
                if (IsListView(child) && ListView_GetImageList(child, LVSIL_SMALL) == s.from) {
                    ListView_SetImageList(child, s.to, LVSIL_SMALL);
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&swap));
        retiredImages_.push_back(std::move(ImageList2));
        ImageList2 = std::move(images);
        headerSize_ = {};  // drawn again at the next paint
    }
    if (suggested) {
        SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        CentreAtDesignedSize();
    }
    // Panels whose size did not change lay out at the new scale too; lists scale columns.
    RelayoutDescendants(hwnd_);
    layout_.Apply(hwnd_);
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void TfmMainForm::ReplaceFonts() {
    const HFONT oldForm = font_.Get();
    const HFONT oldTool = toolFont_.Get();
    retiredFonts_.push_back(std::move(font_));
    retiredFonts_.push_back(std::move(toolFont_));
    MakeFonts();
    ReplaceFontOfDescendants(hwnd_, oldForm, font_.Get());
    ReplaceFontOfDescendants(hwnd_, oldTool, toolFont_.Get());
}

SIZE TfmMainForm::MinimumWindowSize() const {
    RECT frame = {0, 0, ScaleToDpi(kClientWidth, dpi_), ScaleToDpi(kClientHeight, dpi_)};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)));
    return SIZE{frame.right - frame.left, frame.bottom - frame.top};
}

void TfmMainForm::CentreAtDesignedSize() {
    const SIZE size = MinimumWindowSize();
    MONITORINFO info = {sizeof(info)};
    GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTONEAREST), &info);
    const RECT& work = info.rcWork;
    SetWindowPos(hwnd_, nullptr, work.left + (work.right - work.left - size.cx) / 2,
                 work.top + (work.bottom - work.top - size.cy) / 2, size.cx, size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void TfmMainForm::Resized() {
    layout_.Apply(hwnd_);
    // The header and the navigation column follow the size; the tool buttons paint the
    // column behind them.
    InvalidateRect(hwnd_, nullptr, FALSE);
    for (const auto& button : toolButtons_) {
        InvalidateRect(button->Handle(), nullptr, FALSE);
    }
}

int TfmMainForm::StartShowCommand(int show) const {
    const bool plain = show == SW_SHOWNORMAL || show == SW_SHOW || show == SW_SHOWDEFAULT;
    return startMaximized_ && plain ? SW_SHOWMAXIMIZED : show;
}

void TfmMainForm::RestorePlace() {
    const std::optional<WindowPlace> saved = LoadWindowPlace();
    if (!saved) {
        return;
    }
    const std::optional<WindowPlace> place = UsableWindowPlace(*saved, MinimumWindowSize(), dpi_);
    if (!place) {
        return;  // the monitor it was on is gone: designed size, centred
    }
    WINDOWPLACEMENT placement = {sizeof(placement)};
    GetWindowPlacement(hwnd_, &placement);
    placement.flags = 0;
    placement.showCmd = SW_HIDE;
    placement.rcNormalPosition = place->normal;
    SetWindowPlacement(hwnd_, &placement);
    startMaximized_ = place->maximized;
}

void TfmMainForm::SavePlace() const {
    WINDOWPLACEMENT placement = {sizeof(placement)};
    if (!hwnd_ || !GetWindowPlacement(hwnd_, &placement)) {
        return;
    }
    WindowPlace place;
    place.normal = placement.rcNormalPosition;
    place.maximized =
        IsZoomed(hwnd_) || (IsIconic(hwnd_) && (placement.flags & WPF_RESTORETOMAXIMIZED) != 0);
    place.dpi = dpi_;
    // A place that cannot be stored is not worth a message: the next run opens centred.
    SaveWindowPlace(place);
}

}  // namespace kestrova
