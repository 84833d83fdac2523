#pragma once
// GDI+ for the program's drawn artwork. Its headers need min and max, which NOMINMAX hides,
// and the COM types that WIN32_LEAN_AND_MEAN leaves out.

#include <windows.h>
#include <objidl.h>

#include <algorithm>

namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus

#include <gdiplus.h>

namespace kestrova::art {

// A rectangle with rounded corners of the given radius.
inline void AddRoundedRect(Gdiplus::GraphicsPath& path, const Gdiplus::RectF& r, float radius) {
    const float d = radius * 2;
    path.StartFigure();
    path.AddArc(r.X, r.Y, d, d, 180, 90);
    path.AddArc(r.X + r.Width - d, r.Y, d, d, 270, 90);
    path.AddArc(r.X + r.Width - d, r.Y + r.Height - d, d, d, 0, 90);
    path.AddArc(r.X, r.Y + r.Height - d, d, d, 90, 90);
    path.CloseFigure();
}

inline Gdiplus::Color Rgb(int r, int g, int b, int a = 255) {
    return Gdiplus::Color(static_cast<BYTE>(a), static_cast<BYTE>(r), static_cast<BYTE>(g),
                          static_cast<BYTE>(b));
}

// Draws the program's emblem (also its icon) into the square at x, y of the given size.
void DrawEmblem(Gdiplus::Graphics& g, float x, float y, float size);

}  // namespace kestrova::art
