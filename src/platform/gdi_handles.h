#pragma once
// Owners for GDI objects, icons, image lists and menus, on the pattern of unique_handles.h.

#include <windows.h>
#include <commctrl.h>

#include "platform/unique_handles.h"

namespace kestrova {

template <typename T>
struct GdiObjectTraits {
    using Handle = T;
    static Handle Invalid() { return nullptr; }
    static bool Valid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { DeleteObject(h); }
};

struct IconTraits {
    using Handle = HICON;
    static Handle Invalid() { return nullptr; }
    static bool Valid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { DestroyIcon(h); }
};

struct ImageListTraits {
    using Handle = HIMAGELIST;
    static Handle Invalid() { return nullptr; }
    static bool Valid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { ImageList_Destroy(h); }
};

struct MenuTraits {
    using Handle = HMENU;
    static Handle Invalid() { return nullptr; }
    static bool Valid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { DestroyMenu(h); }
};

using UniqueFont = UniqueHandle<GdiObjectTraits<HFONT>>;
using UniqueBrush = UniqueHandle<GdiObjectTraits<HBRUSH>>;
using UniquePen = UniqueHandle<GdiObjectTraits<HPEN>>;
using UniqueBitmap = UniqueHandle<GdiObjectTraits<HBITMAP>>;
using UniqueIcon = UniqueHandle<IconTraits>;
using UniqueImageList = UniqueHandle<ImageListTraits>;
using UniqueMenu = UniqueHandle<MenuTraits>;

// Selects an object into a device context and puts the old one back.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    ~SelectedObject() { SelectObject(dc_, old_); }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

}  // namespace kestrova
