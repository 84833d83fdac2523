#include "app/tool_button.h"

#include <commctrl.h>

#include <iterator>

#include "app/gdiplus_include.h"
#include "platform/gdi_handles.h"
#include "platform/ui_layout.h"

namespace kestrova {

namespace {

constexpr wchar_t kToolButtonClass[] = L"KestrovaToolButton";
constexpr COLORREF kCaptionColour = RGB(0, 51, 160);

}  // namespace

void ToolButton::Create(Container& parent, const std::wstring& caption, Glyph glyph, Bounds bounds,
                        HFONT captionFont, Backdrop backdrop) {
    static const bool registered = [] {
        WNDCLASSEXW wc = {sizeof(wc)};
        wc.lpfnWndProc = OwnerWindowProc<ToolButton>;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_HAND);
        wc.lpszClassName = kToolButtonClass;
        return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    (void)registered;
    glyph_ = glyph;
    font_ = captionFont;
    backdrop_ = std::move(backdrop);
    CreateWindowExW(0, kToolButtonClass, caption.c_str(), WS_CHILD | WS_VISIBLE, bounds.x, bounds.y,
                    bounds.width, bounds.height, parent.Handle(), nullptr,
                    GetModuleHandleW(nullptr), this);
    AnchorWindow(hwnd_, kAnchorTopLeft);
}

void ToolButton::OnClick(Container& parent, EventTable::Handler handler) {
    parent.Events().OnClick(hwnd_, std::move(handler));
}

void ToolButton::SetHint(HWND tooltip, const std::wstring& hint) {
    hint_ = hint;
    TTTOOLINFOW tool = {};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = GetParent(hwnd_);
    tool.uId = reinterpret_cast<UINT_PTR>(hwnd_);
    tool.lpszText = hint_.data();
    SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

std::wstring ToolButton::Caption() const {
    const int length = GetWindowTextLengthW(hwnd_);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(hwnd_, text.data(), length + 1)));
    return text;
}

Bounds ToolButton::Position() const {
    RECT r = {};
    GetWindowRect(hwnd_, &r);
    MapWindowPoints(nullptr, GetParent(hwnd_), reinterpret_cast<POINT*>(&r), 2);
    return Bounds{r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void ToolButton::SetSelected(bool selected) {
    // Tab reaches the column of buttons at the lit one; the arrows go on from there.
    const LONG_PTR style = GetWindowLongPtrW(hwnd_, GWL_STYLE);
    SetWindowLongPtrW(hwnd_, GWL_STYLE, selected ? style | WS_TABSTOP : style & ~WS_TABSTOP);
    if (selected_ != selected) {
        selected_ = selected;
        InvalidateRect(hwnd_, nullptr, FALSE);
    }
}

// The next or previous button of the column, around the ends.
void ToolButton::FocusNeighbour(bool forward) const {
    const UINT step = forward ? GW_HWNDNEXT : GW_HWNDPREV;
    const HWND wrap = GetWindow(hwnd_, forward ? GW_HWNDFIRST : GW_HWNDLAST);
    wchar_t className[64] = {};
    for (HWND w = GetWindow(hwnd_, step);; w = GetWindow(w, step)) {
        if (!w) {
            w = wrap;
        }
        if (w == hwnd_) {
            return;
        }
        GetClassNameW(w, className, static_cast<int>(std::size(className)));
        if (lstrcmpW(className, kToolButtonClass) == 0 && IsWindowVisible(w) &&
            IsWindowEnabled(w)) {
            SetFocus(w);
            return;
        }
    }
}

void ToolButton::Click() {
    SendMessageW(GetParent(hwnd_), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED),
                 reinterpret_cast<LPARAM>(hwnd_));
}

LRESULT ToolButton::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_MOUSEMOVE:
            if (!hot_) {
                hot_ = true;
                TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, hwnd_, 0};
                TrackMouseEvent(&track);
                InvalidateRect(hwnd_, nullptr, FALSE);
            }
            return 0;
        case WM_MOUSELEAVE:
            hot_ = false;
            InvalidateRect(hwnd_, nullptr, FALSE);
            return 0;
        case WM_GETDLGCODE:
            // A push button to the dialog keys (Enter presses it, its letter alone would),
            // and the arrows move along the column.
            return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON | DLGC_WANTARROWS;
        case BM_CLICK:
            Click();
            return 0;
        case WM_KEYDOWN:
            switch (wparam) {
                case VK_SPACE:
                    if (!pressed_) {
                        pressed_ = true;
                        InvalidateRect(hwnd_, nullptr, FALSE);
                    }
                    return 0;
                case VK_UP:
                case VK_LEFT:
                case VK_DOWN:
                case VK_RIGHT:
                    FocusNeighbour(wparam == VK_DOWN || wparam == VK_RIGHT);
                    return 0;
            }
            break;
        case WM_KEYUP:
            if (wparam == VK_SPACE && pressed_ && GetCapture() != hwnd_) {
                pressed_ = false;
                InvalidateRect(hwnd_, nullptr, FALSE);
                Click();
                return 0;
            }
            break;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            if (message == WM_KILLFOCUS && pressed_ && GetCapture() != hwnd_) {
                pressed_ = false;  // Space let go elsewhere
            }
            InvalidateRect(hwnd_, nullptr, FALSE);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            SetFocus(hwnd_);
            pressed_ = true;
            SetCapture(hwnd_);
            InvalidateRect(hwnd_, nullptr, FALSE);
            return 0;
        case WM_LBUTTONUP: {
            if (!pressed_) {
                return 0;
            }
            pressed_ = false;
            if (GetCapture() == hwnd_) {
                ReleaseCapture();
            }
            InvalidateRect(hwnd_, nullptr, FALSE);
            RECT client = {};
            GetClientRect(hwnd_, &client);
            const POINT at = {static_cast<short>(LOWORD(lparam)),
                              static_cast<short>(HIWORD(lparam))};
            if (PtInRect(&client, at)) {
                Click();
            }
            return 0;
        }
        case WM_CAPTURECHANGED:
            if (pressed_) {
                pressed_ = false;
                InvalidateRect(hwnd_, nullptr, FALSE);
            }
            return 0;
        case WM_SETTEXT: {
            const LRESULT result = DefWindowProcW(hwnd_, message, wparam, lparam);
            InvalidateRect(hwnd_, nullptr, FALSE);
            return result;
        }
        case WM_SETFONT:
            // The caption's font at the window's new dots per inch.
            font_ = reinterpret_cast<HFONT>(wparam);
            if (lparam) {
                InvalidateRect(hwnd_, nullptr, FALSE);
            }
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(font_);
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            const PaintDc dc(hwnd_);
            Paint(dc.Get());
            return 0;
        }
    }
    return DefWindowProcW(hwnd_, message, wparam, lparam);
}

void ToolButton::Paint(HDC target) {
    RECT client = {};
    GetClientRect(hwnd_, &client);
    const int width = client.right;
    const int height = client.bottom;
    const UniqueMemoryDc memory(CreateCompatibleDC(target));
    const HDC dc = memory.Get();
    UniqueBitmap buffer(CreateCompatibleBitmap(target, width, height));
    {
        SelectedObject keepBuffer(dc, buffer.Get());
        if (backdrop_) {
            const Bounds at = Position();
            POINT old = {};
            SetViewportOrgEx(dc, -at.x, -at.y, &old);
            backdrop_(dc, RECT{at.x, at.y, at.Right(), at.Bottom()});
            SetViewportOrgEx(dc, old.x, old.y, nullptr);
        } else {
            FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
        }

        const bool lit = selected_ || hot_ || pressed_;
        if (lit) {
            using namespace Gdiplus;
            Graphics g(dc);
            g.SetSmoothingMode(SmoothingModeAntiAlias);
            g.SetPixelOffsetMode(PixelOffsetModeHalf);
            GraphicsPath frame;
            art::AddRoundedRect(frame, RectF(0.5f, 0.5f, width - 1.0f, height - 1.0f), 4);
            Color top = selected_ ? art::Rgb(255, 255, 255) : art::Rgb(255, 255, 255, 200);
            Color bottom = selected_ ? art::Rgb(200, 222, 250) : art::Rgb(226, 238, 252, 200);
            if (pressed_) {
                top = art::Rgb(190, 212, 242);
                bottom = art::Rgb(216, 232, 252);
            }
            LinearGradientBrush fill(PointF(0, 0), PointF(0, static_cast<REAL>(height)), top,
                                     bottom);
            g.FillPath(&fill, &frame);
            Pen edge(selected_ || pressed_ ? art::Rgb(98, 140, 206) : art::Rgb(150, 182, 228), 1);
            g.DrawPath(&edge, &frame);
        }

        const int dpi = WindowDpi(hwnd_);
        const int shift = pressed_ ? ScaleToDpi(1, dpi) : 0;
        // Trailing blanks of a caption show nothing, but in a wider font they would be cut
        // off with an ellipsis.
        std::wstring caption = Caption();
        caption.erase(caption.find_last_not_of(L' ') + 1);
        const int glyphSize = ScaleToDpi(32, dpi);
        const int glyphTop = (height - glyphSize) / 2 + shift;
        if (caption.empty()) {
            DrawGlyph(dc, glyph_, (width - glyphSize) / 2 + shift, glyphTop, glyphSize);
        } else {
            DrawGlyph(dc, glyph_, ScaleToDpi(6, dpi) + shift, glyphTop, glyphSize);
            SelectedObject keepFont(dc, font_);
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, kCaptionColour);
            RECT text = {ScaleToDpi(46, dpi) + shift, shift, width - ScaleToDpi(4, dpi) + shift,
                         height + shift};
            DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
                      DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
        }
        if (GetFocus() == hwnd_) {
            RECT focus = {3, 3, width - 3, height - 3};
            DrawFocusRect(dc, &focus);
        }
        BitBlt(target, 0, 0, width, height, dc, 0, 0, SRCCOPY);
    }
}

}  // namespace kestrova
