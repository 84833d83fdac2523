#include "platform/ui_layout.h"

#include <algorithm>
#include <iterator>

#include "platform/gdi_handles.h"

namespace kestrova {

namespace {

constexpr wchar_t kLayoutDpiProperty[] = L"KestrovaLayoutDpi";

// One axis: the near and far edges of the child in a parent of the given length.
void PlaceAxis(LONG nearEdge, LONG farEdge, LONG designedLength, bool nearAnchor, bool farAnchor,
               int length, int dpi, LONG& outNear, LONG& outFar) {
    // Gaps to the far edge are differences of scaled edges, so that at the designed size every
    // edge lies exactly where the scaled design puts it.
    const int scaledLength = ScaleToDpi(designedLength, dpi);
    const int farGap = scaledLength - ScaleToDpi(farEdge, dpi);
    if (farAnchor && !nearAnchor) {
        outFar = length - farGap;
        outNear = length - (scaledLength - ScaleToDpi(nearEdge, dpi));
        return;
    }
    outNear = ScaleToDpi(nearEdge, dpi);
    outFar = farAnchor ? std::max<LONG>(outNear, length - farGap) : ScaleToDpi(farEdge, dpi);
}

}  // namespace

RECT AnchoredRect(const AnchoredPlace& place, SIZE parent, int dpi) {
    RECT r = {};
    PlaceAxis(place.designed.left, place.designed.right, place.parent.cx,
              (place.anchors & kAnchorLeft) != 0, (place.anchors & kAnchorRight) != 0, parent.cx,
              dpi, r.left, r.right);
    PlaceAxis(place.designed.top, place.designed.bottom, place.parent.cy,
              (place.anchors & kAnchorTop) != 0, (place.anchors & kAnchorBottom) != 0, parent.cy,
              dpi, r.top, r.bottom);
    return r;
}

void AnchorLayout::Add(HWND parent, HWND child, Anchors anchors) {
    const int dpi = WindowDpi(parent);
    const auto design = [dpi](LONG v) { return static_cast<LONG>(MulDiv(v, kDesignDpi, dpi)); };
    RECT client = {};
    GetClientRect(parent, &client);
    RECT at = {};
    GetWindowRect(child, &at);
    wchar_t className[16] = {};
    GetClassNameW(child, className, static_cast<int>(std::size(className)));
    if (lstrcmpiW(className, L"ComboBox") == 0) {
        // A drop-down list's height includes its list: keep it, or the list would vanish.
        RECT dropped = {};
        SendMessageW(child, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
        at.bottom = std::max(at.bottom, at.top + (dropped.bottom - dropped.top));
    }
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&at), 2);
    AnchoredPlace place;
    place.designed = {design(at.left), design(at.top), design(at.right), design(at.bottom)};
    place.parent = {design(client.right), design(client.bottom)};
    place.anchors = anchors;
    for (Entry& entry : entries_) {
        if (entry.child == child) {
            entry.place = place;
            return;
        }
    }
    entries_.push_back({child, place});
}

void AnchorLayout::Apply(HWND parent) {
    entries_.erase(std::remove_if(entries_.begin(), entries_.end(),
                                  [parent](const Entry& entry) {
                                      return !IsWindow(entry.child) ||
                                             GetParent(entry.child) != parent;
                                  }),
                   entries_.end());
    RECT client = {};
    GetClientRect(parent, &client);
    if (entries_.empty() || client.right <= 0 || client.bottom <= 0) {
        return;  // minimised: keep the places for the return
    }
    const int dpi = WindowDpi(parent);
    HDWP positions = BeginDeferWindowPos(static_cast<int>(entries_.size()));
    for (const Entry& entry : entries_) {
        const RECT to = AnchoredRect(entry.place, SIZE{client.right, client.bottom}, dpi);
        RECT now = {};
        GetWindowRect(entry.child, &now);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&now), 2);
        if (EqualRect(&now, &to)) {
            continue;
        }
        const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER;
        if (positions) {
            positions = DeferWindowPos(positions, entry.child, nullptr, to.left, to.top,
                                       to.right - to.left, to.bottom - to.top, flags);
        }
        if (!positions) {
            // Deferring failed (out of memory): place the child on its own.
            SetWindowPos(entry.child, nullptr, to.left, to.top, to.right - to.left,
                         to.bottom - to.top, flags);
        }
    }
    if (positions) {
        EndDeferWindowPos(positions);
    }
}

UINT AnchorMessage() {
    static const UINT message = RegisterWindowMessageW(L"KestrovaAnchorChild");
    return message;
}

UINT RelayoutMessage() {
    static const UINT message = RegisterWindowMessageW(L"KestrovaRelayout");
    return message;
}

void AnchorWindow(HWND child, Anchors anchors) {
    if (const HWND parent = GetParent(child)) {
        SendMessageW(parent, AnchorMessage(), reinterpret_cast<WPARAM>(child), anchors);
    }
}

void RelayoutDescendants(HWND window) {
    // EnumChildWindows reaches a parent before its children.
    EnumChildWindows(
        window,
        [](HWND child, LPARAM) -> BOOL {
            SendMessageW(child, RelayoutMessage(), 0, 0);
            return TRUE;
        },
        0);
}

void ReplaceFontOfDescendants(HWND window, HFONT from, HFONT to) {
    struct Swap {
        HFONT from;
        HFONT to;
    } swap{from, to};
    EnumChildWindows(
        window,
        [](HWND child, LPARAM context) -> BOOL {
            const auto& s = *reinterpret_cast<const Swap*>(context);
            if (reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)) == s.from) {
                SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(s.to), TRUE);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&swap));
}

int WindowDpi(HWND window) {
    const HWND root = GetAncestor(window, GA_ROOT);
    if (const HANDLE set = GetPropW(root ? root : window, kLayoutDpiProperty)) {
        return static_cast<int>(reinterpret_cast<INT_PTR>(set));
    }
    return SystemDpi(window);
}

void SetLayoutDpi(HWND topLevel, int dpi) {
    SetPropW(topLevel, kLayoutDpiProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(dpi)));
}

int SystemDpi(HWND window) {
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = [] {
        const HMODULE user32 = GetModuleHandleW(L"user32.dll");
        return user32 ? reinterpret_cast<GetDpiForWindowFunction>(
                            reinterpret_cast<void*>(GetProcAddress(user32, "GetDpiForWindow")))
                      : nullptr;
    }();
    if (getDpiForWindow && window) {
        if (const UINT dpi = getDpiForWindow(window); dpi != 0) {
            return static_cast<int>(dpi);
        }
    }
    const WindowDc screen(nullptr);
    const int dpi = GetDeviceCaps(screen.Get(), LOGPIXELSX);
    return dpi > 0 ? dpi : kDesignDpi;
}

}  // namespace kestrova
