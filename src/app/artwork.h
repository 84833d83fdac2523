#pragma once
// The program's pictures, drawn from code at run time: the header banner, the tool buttons'
// glyphs, the small images of the scan lists and the program icon.

#include <windows.h>

#include <string>

#include "platform/gdi_handles.h"

namespace kestrova {

// GDI+ is started for the lifetime of this object; the drawing functions need one alive.
class GdiplusSession {
public:
    GdiplusSession();
    ~GdiplusSession();
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;

private:
    ULONG_PTR token_ = 0;
};

enum class Glyph {
    ScanErrors,
    IePlugins,
    Backup,
    History,
    IgnoreList,
    Uninstall,
    Startup,
    MoreTools,
    IeTraces,
};

// Draws a glyph into the square at x, y of the given size, antialiased, over what is there.
void DrawGlyph(HDC dc, Glyph glyph, int x, int y, int size);

// The header banner: an opaque bitmap of the given size, its drawing scaled for dpi.
UniqueBitmap RenderHeader(int width, int height, int dpi = 96);
// Fills a rectangle of dc with the navigation column's backdrop; column is the whole column
// in the same coordinates, so pieces painted separately line up.
void PaintNavigationBackdrop(HDC dc, const RECT& area, const RECT& column);
// The program icon at one size (square).
UniqueIcon RenderProgramIcon(int size);
// The small images of the scan lists: 0 for scan groups and driver rows, 1 for error rows.
UniqueImageList CreateScanImages(int dpi = 96);
// Writes the program icon in several sizes as an .ico file; false when it cannot.
bool WriteProgramIconFile(const std::wstring& path);

}  // namespace kestrova
