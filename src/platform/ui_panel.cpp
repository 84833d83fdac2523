#include "platform/ui_panel.h"

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
        wc.lpfnWndProc = WindowProc;
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

LRESULT CALLBACK Panel::WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<Panel*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* panel = reinterpret_cast<Panel*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!panel) {
        return DefWindowProcW(hwnd, message, wparam, lparam);
    }
    return panel->HandleMessage(message, wparam, lparam);
}

LRESULT Panel::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_COMMAND:
            if (events_.DispatchCommand(wparam, lparam)) {
                return 0;
            }
            break;
        case WM_NOTIFY: {
            LRESULT result = 0;
            if (events_.DispatchNotify(lparam, result)) {
                return result;
            }
            break;
        }
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
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(hwnd_, &paint);
            if (border_ != Border::None) {
                RECT client = {};
                GetClientRect(hwnd_, &client);
                DrawEdge(dc, &client, border_ == Border::Pane ? EDGE_RAISED : EDGE_SUNKEN, BF_RECT);
            }
            EndPaint(hwnd_, &paint);
            return 0;
        }
        case WM_NCDESTROY: {
            const HWND hwnd = hwnd_;
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            hwnd_ = nullptr;
            return DefWindowProcW(hwnd, message, wparam, lparam);
        }
    }
    return DefWindowProcW(hwnd_, message, wparam, lparam);
}

}  // namespace kestrova
