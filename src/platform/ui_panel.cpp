#include "platform/ui_panel.h"

#include "platform/gdi_handles.h"

namespace kestrova {

namespace {

constexpr wchar_t kPanelClass[] = L"KestrovaPanel";

int BorderWidth(Panel::Border border) {
    return border == Panel::Border::None ? 0 : 2;
}

}  // namespace

Panel::~Panel() {
    if (hwnd_) {
        DestroyWindow(hwnd_);
    }
    if (backgroundBrush_) {
        DeleteObject(backgroundBrush_);
    }
}

void Panel::Create(Container& parent, Bounds bounds, Border border, bool visible) {
    Create(parent.Handle(), parent.Font(), parent.Events().Reporter(), bounds, border, visible);
}

void Panel::Create(HWND parent, HFONT font, const EventTable::ErrorReporter& reporter,
                   Bounds bounds, Border border, bool visible) {
    static const bool registered = [] {
        WNDCLASSEXW wc = {sizeof(wc)};
        wc.lpfnWndProc = OwnerWindowProc<Panel>;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kPanelClass;
        return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    (void)registered;
    font_ = font;
    border_ = border;
    events_.SetErrorReporter(reporter);
    // No WS_CLIPCHILDREN: group boxes leave their inside to the parent's background.
    const DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (visible ? WS_VISIBLE : 0);
    CreateWindowExW(WS_EX_CONTROLPARENT, kPanelClass, L"", style, bounds.x, bounds.y, bounds.width,
                    bounds.height, parent, nullptr, GetModuleHandleW(nullptr), this);
    AnchorWindow(hwnd_, kAnchorTopLeft);
}

void Panel::SetBackground(COLORREF colour) {
    background_ = colour;
    if (backgroundBrush_) {
        DeleteObject(backgroundBrush_);
    }
    backgroundBrush_ = CreateSolidBrush(colour);
    InvalidateRect(hwnd_, nullptr, TRUE);
}

Bounds Panel::Inner() const {
    RECT client = {};
    GetClientRect(hwnd_, &client);
    const int b = BorderWidth(border_);
    return Bounds{b, b, client.right - 2 * b, client.bottom - 2 * b};
}

LRESULT Panel::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    if (LRESULT result = 0; events_.Dispatch(message, wparam, lparam, result)) {
        return result;
    }
    if (message == AnchorMessage()) {
        layout_.Add(hwnd_, reinterpret_cast<HWND>(wparam), static_cast<Anchors>(lparam));
        return 0;
    }
    if (message == RelayoutMessage()) {
        layout_.Apply(hwnd_);
        return 0;
    }
    switch (message) {
        case WM_SIZE:
            layout_.Apply(hwnd_);
            if (border_ != Border::None) {
                InvalidateRect(hwnd_, nullptr, TRUE);  // the edge moved
            }
            return 0;
        case WM_SETFONT:
            // The window's font changed with its dots per inch: controls created later get it.
            font_ = reinterpret_cast<HFONT>(wparam);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(font_);
        case WM_ERASEBKGND: {
            if (!background_) {
                break;
            }
            RECT client = {};
            GetClientRect(hwnd_, &client);
            FillRect(reinterpret_cast<HDC>(wparam), &client, backgroundBrush_);
            return 1;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            if (background_) {
                SetBkColor(reinterpret_cast<HDC>(wparam), *background_);
                return reinterpret_cast<LRESULT>(backgroundBrush_);
            }
            // Controls on a plain panel take the colours the window above them gives.
            return SendMessageW(GetParent(hwnd_), message, wparam, lparam);
        case WM_PAINT: {
            const PaintDc dc(hwnd_);
            if (border_ != Border::None) {
                RECT client = {};
                GetClientRect(hwnd_, &client);
                DrawEdge(dc.Get(), &client, border_ == Border::Pane ? EDGE_RAISED : EDGE_SUNKEN,
                         BF_RECT);
            }
            return 0;
        }
    }
    return DefWindowProcW(hwnd_, message, wparam, lparam);
}

}  // namespace kestrova
