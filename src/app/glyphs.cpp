// The tool buttons' glyphs, drawn on a 32-unit grid and scaled to the size asked for.
#include "app/artwork.h"

#include <cmath>
#include <vector>

#include "app/gdiplus_include.h"

namespace kestrova {

using namespace Gdiplus;
using art::AddRoundedRect;
using art::Rgb;

namespace {

void Round(Pen& pen) {
    pen.SetStartCap(LineCapRound);
    pen.SetEndCap(LineCapRound);
    pen.SetLineJoin(LineJoinRound);
}

void FillVertical(Graphics& g, GraphicsPath& path, const RectF& box, const Color& top,
                  const Color& bottom, const Color& edge) {
    LinearGradientBrush fill(PointF(0, box.Y - 0.5f), PointF(0, box.GetBottom() + 0.5f), top,
                             bottom);
    g.FillPath(&fill, &path);
    Pen outline(edge, 1.1f);
    outline.SetLineJoin(LineJoinRound);
    g.DrawPath(&outline, &path);
}

// A small round badge in the lower right corner, as the glyphs use for their action.
void Badge(Graphics& g, const Color& light, const Color& dark) {
    RectF disc(18.5f, 18.5f, 12.5f, 12.5f);
    GraphicsPath path;
    path.AddEllipse(disc);
    FillVertical(g, path, disc, light, dark, dark);
}

void DrawScanErrors(Graphics& g) {
    // A magnifier over a registry page, a green check in its lens.
    RectF page(3, 2, 17, 21);
    GraphicsPath pagePath;
    AddRoundedRect(pagePath, page, 2);
    FillVertical(g, pagePath, page, Rgb(255, 255, 255), Rgb(222, 232, 245), Rgb(120, 140, 170));
    Pen line(Rgb(150, 172, 205), 1.2f);
    for (int i = 0; i < 4; ++i) {
        const float y = 7.0f + 3.5f * static_cast<float>(i);
        g.DrawLine(&line, 6.0f, y, 16.0f - (i % 2) * 3.0f, y);
    }
    Pen handle(Rgb(70, 60, 52), 4.2f);
    Round(handle);
    g.DrawLine(&handle, 22.5f, 22.5f, 29.0f, 29.0f);
    Pen handleLight(Rgb(150, 130, 110), 1.3f);
    Round(handleLight);
    g.DrawLine(&handleLight, 23.5f, 22.8f, 28.2f, 27.5f);
    RectF lens(10, 10, 15, 15);
    LinearGradientBrush glass(PointF(0, 10), PointF(0, 25), Rgb(225, 242, 255, 235),
                              Rgb(160, 205, 245, 235));
    g.FillEllipse(&glass, lens);
    Pen rim(Rgb(40, 86, 160), 2.2f);
    g.DrawEllipse(&rim, lens);
    Pen check(Rgb(40, 160, 70), 2.4f);
    Round(check);
    const PointF tick[] = {PointF(13.5f, 17.8f), PointF(16.5f, 20.6f), PointF(21.2f, 14.2f)};
    g.DrawLines(&check, tick, 3);
}

void DrawIePlugins(Graphics& g) {
    // A puzzle piece: the add-on that plugs into the browser.
    Region piece(RectF(5, 9, 17, 17));
    GraphicsPath top;
    top.AddEllipse(RectF(10, 3.5f, 7, 7));
    piece.Union(&top);
    GraphicsPath right;
    right.AddEllipse(RectF(20, 14, 7, 7));
    piece.Union(&right);
    GraphicsPath notch;
    notch.AddEllipse(RectF(10.5f, 22, 6, 6));
    piece.Exclude(&notch);
    GraphicsPath leftNotch;
    leftNotch.AddEllipse(RectF(2, 14.5f, 6, 6));
    piece.Exclude(&leftNotch);

    LinearGradientBrush fill(PointF(0, 3), PointF(0, 27), Rgb(120, 196, 255), Rgb(30, 96, 196));
    g.FillRegion(&fill, &piece);
    // A darker rim: the region grown by a pixel behind it would blur at small sizes, so the
    // outline is the region's own edge drawn from its rectangles' union path.
    Region inner(RectF(7, 11, 13, 13));
    LinearGradientBrush sheen(PointF(0, 9), PointF(0, 24), Rgb(255, 255, 255, 70),
                              Rgb(255, 255, 255, 0));
    g.FillRegion(&sheen, &inner);
    Badge(g, Rgb(120, 220, 120), Rgb(40, 150, 60));
    Pen plus(Rgb(255, 255, 255), 2.2f);
    Round(plus);
    g.DrawLine(&plus, 24.75f, 21.5f, 24.75f, 28.0f);
    g.DrawLine(&plus, 21.5f, 24.75f, 28.0f, 24.75f);
}

void DrawCylinder(Graphics& g, float x, float y, float w, float h) {
    const float cap = w * 0.32f;
    GraphicsPath body;
    body.AddArc(RectF(x, y, w, cap), 180, -180);
    body.AddLine(x + w, y + cap / 2, x + w, y + h - cap / 2);
    body.AddArc(RectF(x, y + h - cap, w, cap), 0, 180);
    body.CloseFigure();
    LinearGradientBrush side(PointF(x, 0), PointF(x + w, 0), Rgb(120, 150, 190), Rgb(60, 90, 140));
    side.SetBlendTriangularShape(0.35f);
    g.FillPath(&side, &body);
    Pen edge(Rgb(40, 62, 100), 1.1f);
    g.DrawPath(&edge, &body);
    Pen band(Rgb(200, 220, 245, 160), 1);
    for (int i = 1; i <= 2; ++i) {
        const float by = y + (h - cap) * static_cast<float>(i) / 3.0f;
        g.DrawArc(&band, RectF(x, by, w, cap), 0, 180);
    }
    RectF lid(x, y, w, cap);
    LinearGradientBrush lidFill(PointF(0, y), PointF(0, y + cap), Rgb(220, 232, 250),
                                Rgb(160, 185, 220));
    g.FillEllipse(&lidFill, lid);
    g.DrawEllipse(&edge, lid);
}

void DrawBackup(Graphics& g) {
    // The registry as a database drum, a green arrow going round it.
    DrawCylinder(g, 4, 3, 19, 24);
    Badge(g, Rgb(120, 220, 120), Rgb(40, 150, 60));
    Pen arrow(Rgb(255, 255, 255), 1.8f);
    Round(arrow);
    g.DrawArc(&arrow, RectF(21.5f, 21.5f, 6.5f, 6.5f), 200, 250);
    const PointF head[] = {PointF(20.6f, 22.0f), PointF(21.8f, 25.6f), PointF(24.6f, 23.4f)};
    SolidBrush white(Rgb(255, 255, 255));
    g.FillPolygon(&white, head, 3);
}

void DrawHistory(Graphics& g) {
    // A clock with an arrow turning back.
    RectF face(4, 4, 24, 24);
    GraphicsPath facePath;
    facePath.AddEllipse(face);
    FillVertical(g, facePath, face, Rgb(255, 255, 255), Rgb(214, 228, 246), Rgb(40, 86, 160));
    Pen rim(Rgb(48, 100, 180), 2.4f);
    g.DrawEllipse(&rim, face);
    Pen marks(Rgb(120, 140, 170), 1.2f);
    for (int i = 0; i < 12; i += 3) {
        const float a = 3.14159265f * static_cast<float>(i) / 6.0f;
        g.DrawLine(&marks, 16 + 8.5f * std::cos(a), 16 + 8.5f * std::sin(a),
                   16 + 10.2f * std::cos(a), 16 + 10.2f * std::sin(a));
    }
    Pen hands(Rgb(30, 40, 60), 2.0f);
    Round(hands);
    g.DrawLine(&hands, 16.0f, 16.0f, 16.0f, 9.0f);
    g.DrawLine(&hands, 16.0f, 16.0f, 21.0f, 18.5f);
    SolidBrush hub(Rgb(210, 60, 50));
    g.FillEllipse(&hub, RectF(14.6f, 14.6f, 2.8f, 2.8f));
    Pen back(Rgb(230, 140, 30), 2.4f);
    Round(back);
    g.DrawArc(&back, RectF(1.5f, 1.5f, 29, 29), 200, 70);
    const PointF head[] = {PointF(0.5f, 9.0f), PointF(6.4f, 8.0f), PointF(2.0f, 14.5f)};
    SolidBrush orange(Rgb(230, 140, 30));
    g.FillPolygon(&orange, head, 3);
}

void DrawIgnoreList(Graphics& g) {
    // A list with a red "no entry" sign: entries the scan leaves alone.
    RectF sheet(3, 2, 20, 25);
    GraphicsPath sheetPath;
    AddRoundedRect(sheetPath, sheet, 2);
    FillVertical(g, sheetPath, sheet, Rgb(255, 255, 250), Rgb(236, 232, 214), Rgb(140, 130, 100));
    SolidBrush bullet(Rgb(48, 100, 180));
    Pen line(Rgb(120, 130, 150), 1.3f);
    for (int i = 0; i < 4; ++i) {
        const float y = 7.0f + 4.5f * static_cast<float>(i);
        g.FillEllipse(&bullet, RectF(6, y - 1.2f, 2.4f, 2.4f));
        g.DrawLine(&line, 10.5f, y, 19.5f, y);
    }
    Badge(g, Rgb(250, 110, 95), Rgb(196, 40, 34));
    Pen bar(Rgb(255, 255, 255), 2.4f);
    Round(bar);
    g.DrawLine(&bar, 21.3f, 24.75f, 28.2f, 24.75f);
}

void DrawUninstall(Graphics& g) {
    // A program's box with a red minus: taking software off the PC.
    const PointF topFace[] = {PointF(15, 3), PointF(27, 8), PointF(15, 13), PointF(3, 8)};
    const PointF leftFace[] = {PointF(3, 8), PointF(15, 13), PointF(15, 28), PointF(3, 22)};
    const PointF rightFace[] = {PointF(15, 13), PointF(27, 8), PointF(27, 22), PointF(15, 28)};
    LinearGradientBrush top(PointF(0, 3), PointF(0, 13), Rgb(250, 215, 150), Rgb(226, 176, 100));
    LinearGradientBrush left(PointF(3, 0), PointF(15, 0), Rgb(214, 150, 70), Rgb(196, 130, 56));
    LinearGradientBrush right(PointF(15, 0), PointF(27, 0), Rgb(176, 112, 44), Rgb(150, 92, 34));
    g.FillPolygon(&top, topFace, 4);
    g.FillPolygon(&left, leftFace, 4);
    g.FillPolygon(&right, rightFace, 4);
    Pen edge(Rgb(110, 70, 24), 1.1f);
    edge.SetLineJoin(LineJoinRound);
    g.DrawPolygon(&edge, topFace, 4);
    g.DrawPolygon(&edge, leftFace, 4);
    g.DrawPolygon(&edge, rightFace, 4);
    Pen tape(Rgb(255, 240, 210, 200), 2.0f);
    g.DrawLine(&tape, 9.0f, 5.5f, 21.0f, 10.5f);
    Badge(g, Rgb(250, 110, 95), Rgb(196, 40, 34));
    Pen bar(Rgb(255, 255, 255), 2.4f);
    Round(bar);
    g.DrawLine(&bar, 21.3f, 24.75f, 28.2f, 24.75f);
}

void DrawStartup(Graphics& g) {
    // A green power button: what starts with Windows.
    RectF disc(3, 3, 26, 26);
    GraphicsPath discPath;
    discPath.AddEllipse(disc);
    FillVertical(g, discPath, disc, Rgb(130, 222, 120), Rgb(30, 140, 56), Rgb(24, 104, 40));
    LinearGradientBrush shine(PointF(0, 4), PointF(0, 16), Rgb(255, 255, 255, 110),
                              Rgb(255, 255, 255, 0));
    g.FillEllipse(&shine, RectF(7, 4.5f, 18, 11));
    Pen symbol(Rgb(255, 255, 255), 2.6f);
    Round(symbol);
    g.DrawArc(&symbol, RectF(9.5f, 10, 13, 13), 300, 300);
    g.DrawLine(&symbol, 16.0f, 8.0f, 16.0f, 16.0f);
}

void DrawMoreTools(Graphics& g) {
    // A cog with a smaller one beside it.
    auto cog = [&g](float cx, float cy, float outer, float inner, int teeth, const Color& light,
                    const Color& dark) {
        GraphicsPath path;
        std::vector<PointF> points;
        const int steps = teeth * 4;
        for (int i = 0; i < steps; ++i) {
            const float a = 2 * 3.14159265f * static_cast<float>(i) / static_cast<float>(steps);
            const float r = (i % 4 == 0 || i % 4 == 1) ? outer : inner;
            points.emplace_back(cx + r * std::cos(a), cy + r * std::sin(a));
        }
        path.AddPolygon(points.data(), static_cast<INT>(points.size()));
        path.AddEllipse(
            RectF(cx - inner * 0.42f, cy - inner * 0.42f, inner * 0.84f, inner * 0.84f));
        RectF box(cx - outer, cy - outer, 2 * outer, 2 * outer);
        FillVertical(g, path, box, light, dark, Rgb(50, 60, 76));
    };
    cog(13, 13, 11, 8.2f, 8, Rgb(196, 208, 224), Rgb(110, 126, 150));
    cog(23.5f, 23.5f, 7, 5.2f, 6, Rgb(120, 180, 250), Rgb(36, 96, 180));
}

void DrawIeTraces(Graphics& g) {
    // A globe with a sparkle: browsing traces wiped away.
    RectF globe(3, 5, 23, 23);
    GraphicsPath globePath;
    globePath.AddEllipse(globe);
    FillVertical(g, globePath, globe, Rgb(120, 196, 255), Rgb(26, 90, 190), Rgb(20, 64, 140));
    Pen grid(Rgb(235, 245, 255, 170), 1.1f);
    g.DrawEllipse(&grid, RectF(9.5f, 5, 10, 23));
    g.DrawLine(&grid, 14.5f, 5.0f, 14.5f, 28.0f);
    g.DrawLine(&grid, 3.0f, 16.5f, 26.0f, 16.5f);
    g.DrawArc(&grid, RectF(5, 9, 19, 6), 0, 180);
    g.DrawArc(&grid, RectF(5, 18, 19, 6), 180, 180);
    const PointF star[] = {PointF(25, 1),  PointF(26.4f, 5.6f), PointF(31, 7), PointF(26.4f, 8.4f),
                           PointF(25, 13), PointF(23.6f, 8.4f), PointF(19, 7), PointF(23.6f, 5.6f)};
    SolidBrush gold(Rgb(255, 206, 60));
    g.FillPolygon(&gold, star, 8);
    Pen starEdge(Rgb(196, 140, 20), 0.8f);
    g.DrawPolygon(&starEdge, star, 8);
}

}  // namespace

void DrawGlyph(HDC dc, Glyph glyph, int x, int y, int size) {
    Graphics g(dc);
    g.SetSmoothingMode(SmoothingModeAntiAlias);
    g.SetPixelOffsetMode(PixelOffsetModeHalf);
    g.TranslateTransform(static_cast<REAL>(x), static_cast<REAL>(y));
    g.ScaleTransform(size / 32.0f, size / 32.0f);
    switch (glyph) {
        case Glyph::ScanErrors:
            DrawScanErrors(g);
            break;
        case Glyph::IePlugins:
            DrawIePlugins(g);
            break;
        case Glyph::Backup:
            DrawBackup(g);
            break;
        case Glyph::History:
            DrawHistory(g);
            break;
        case Glyph::IgnoreList:
            DrawIgnoreList(g);
            break;
        case Glyph::Uninstall:
            DrawUninstall(g);
            break;
        case Glyph::Startup:
            DrawStartup(g);
            break;
        case Glyph::MoreTools:
            DrawMoreTools(g);
            break;
        case Glyph::IeTraces:
            DrawIeTraces(g);
            break;
    }
}

}  // namespace kestrova
