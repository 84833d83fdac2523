#include "app/artwork.h"

#include <commctrl.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <iterator>
#include <vector>

#include "app/gdiplus_include.h"
#include "platform/unique_handles.h"

namespace kestrova {

using namespace Gdiplus;
using art::AddRoundedRect;
using art::Rgb;

namespace {

// A 32-bit top-down DIB section and GDI+ drawing straight into its pixels. premultiplied
// picks the pixel format the consumer wants: image lists blend premultiplied pixels, icons
// take straight alpha.
struct Canvas {
    UniqueBitmap bitmap;
    BYTE* bits = nullptr;
    int width = 0;
    int height = 0;

    Canvas(int w, int h) : width(w), height(h) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = w;
        info.bmiHeader.biHeight = -h;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* pixels = nullptr;
        bitmap.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0));
        bits = static_cast<BYTE*>(pixels);
        if (bits) {
            std::memset(bits, 0, static_cast<size_t>(w) * static_cast<size_t>(h) * 4);
        }
    }

    void Draw(bool premultiplied, const std::function<void(Graphics&)>& paint) {
        if (!bits) {
            return;
        }
        Bitmap target(width, height, width * 4,
                      premultiplied ? PixelFormat32bppPARGB : PixelFormat32bppARGB, bits);
        Graphics g(&target);
        g.SetSmoothingMode(SmoothingModeAntiAlias);
        g.SetPixelOffsetMode(PixelOffsetModeHalf);
        g.SetTextRenderingHint(TextRenderingHintAntiAliasGridFit);
        paint(g);
    }
};

void DrawScanGroupImage(Graphics& g) {
    const Color colours[4][2] = {{Rgb(74, 144, 226), Rgb(31, 86, 170)},
                                 {Rgb(40, 190, 170), Rgb(16, 122, 112)},
                                 {Rgb(250, 176, 60), Rgb(196, 118, 16)},
                                 {Rgb(110, 170, 245), Rgb(45, 100, 190)}};
    const float places[4][2] = {{1, 1}, {8.5f, 1}, {1, 8.5f}, {8.5f, 8.5f}};
    for (int i = 0; i < 4; ++i) {
        RectF box(places[i][0], places[i][1], 6.5f, 6.5f);
        GraphicsPath path;
        AddRoundedRect(path, box, 1.5f);
        LinearGradientBrush fill(PointF(box.X, box.Y), PointF(box.X, box.Y + box.Height),
                                 colours[i][0], colours[i][1]);
        g.FillPath(&fill, &path);
        Pen edge(colours[i][1], 1);
        g.DrawPath(&edge, &path);
    }
}

void DrawErrorRowImage(Graphics& g) {
    RectF disc(1, 1, 14, 14);
    LinearGradientBrush fill(PointF(0, 1), PointF(0, 15), Rgb(244, 105, 85), Rgb(190, 40, 34));
    g.FillEllipse(&fill, disc);
    Pen rim(Rgb(150, 28, 24), 1);
    g.DrawEllipse(&rim, disc);
    Pen cross(Rgb(255, 255, 255), 2.2f);
    cross.SetStartCap(LineCapRound);
    cross.SetEndCap(LineCapRound);
    g.DrawLine(&cross, 5.5f, 5.5f, 10.5f, 10.5f);
    g.DrawLine(&cross, 10.5f, 5.5f, 5.5f, 10.5f);
}

void AppendLe16(std::vector<BYTE>& out, unsigned value) {
    out.push_back(static_cast<BYTE>(value & 0xFF));
    out.push_back(static_cast<BYTE>((value >> 8) & 0xFF));
}

void AppendLe32(std::vector<BYTE>& out, unsigned value) {
    AppendLe16(out, value & 0xFFFF);
    AppendLe16(out, value >> 16);
}

// One icon image in the .ico layout: header, bottom-up BGRA pixels, then the AND mask.
std::vector<BYTE> IconImage(int size) {
    Canvas canvas(size, size);
    canvas.Draw(false, [size](Graphics& g) { art::DrawEmblem(g, 0, 0, static_cast<float>(size)); });
    std::vector<BYTE> image;
    AppendLe32(image, 40);
    AppendLe32(image, static_cast<unsigned>(size));
    AppendLe32(image, static_cast<unsigned>(size * 2));
    AppendLe16(image, 1);
    AppendLe16(image, 32);
    for (int i = 0; i < 6; ++i) {
        AppendLe32(image, 0);
    }
    for (int y = size - 1; y >= 0; --y) {
        const BYTE* row = canvas.bits + static_cast<size_t>(y) * static_cast<size_t>(size) * 4;
        image.insert(image.end(), row, row + size * 4);
    }
    const int maskStride = ((size + 31) / 32) * 4;
    for (int y = size - 1; y >= 0; --y) {
        std::vector<BYTE> row(static_cast<size_t>(maskStride), 0);
        for (int x = 0; x < size; ++x) {
            const BYTE alpha =
                canvas.bits[(static_cast<size_t>(y) * static_cast<size_t>(size) + x) * 4 + 3];
            if (alpha == 0) {
                BYTE& bits = row[static_cast<size_t>(x / 8)];
                bits = static_cast<BYTE>(bits | (0x80 >> (x % 8)));
            }
        }
        image.insert(image.end(), row.begin(), row.end());
    }
    return image;
}

}  // namespace

GdiplusSession::GdiplusSession() {
    GdiplusStartupInput input;
    GdiplusStartup(&token_, &input, nullptr);
}

GdiplusSession::~GdiplusSession() {
    if (token_) {
        GdiplusShutdown(token_);
    }
}

namespace art {

void DrawEmblem(Graphics& g, float x, float y, float size) {
    const float s = size / 32.0f;
    GraphicsState state = g.Save();
    g.TranslateTransform(x, y);
    g.ScaleTransform(s, s);

    // Tile: a rounded square in deep blue with a soft highlight along the top.
    RectF tile(1, 1, 30, 30);
    GraphicsPath tilePath;
    AddRoundedRect(tilePath, tile, 6.5f);
    LinearGradientBrush tileFill(PointF(0, 1), PointF(0, 31), Rgb(78, 160, 246), Rgb(20, 66, 160));
    g.FillPath(&tileFill, &tilePath);
    GraphicsPath gloss;
    AddRoundedRect(gloss, RectF(2.2f, 2.2f, 27.6f, 13), 5.5f);
    LinearGradientBrush glossFill(PointF(0, 2), PointF(0, 15.5f), Rgb(255, 255, 255, 90),
                                  Rgb(255, 255, 255, 0));
    g.FillPath(&glossFill, &gloss);
    Pen tileEdge(Rgb(14, 48, 120, 200), 1);
    g.DrawPath(&tileEdge, &tilePath);

    // Gauge: a white dial track, the filled part in green, the needle turned up to the right.
    const RectF dial(6.5f, 8, 19, 19);
    Pen track(Rgb(255, 255, 255, 85), 3.2f);
    track.SetStartCap(LineCapRound);
    track.SetEndCap(LineCapRound);
    g.DrawArc(&track, dial, 150, 240);
    Pen filled(Rgb(120, 232, 140), 3.2f);
    filled.SetStartCap(LineCapRound);
    filled.SetEndCap(LineCapRound);
    g.DrawArc(&filled, dial, 150, 165);
    Pen needle(Rgb(255, 255, 255), 2.4f);
    needle.SetStartCap(LineCapRound);
    needle.SetEndCap(LineCapTriangle);
    g.DrawLine(&needle, 16.0f, 17.5f, 22.2f, 11.8f);
    SolidBrush hub(Rgb(255, 255, 255));
    g.FillEllipse(&hub, RectF(13.4f, 14.9f, 5.2f, 5.2f));
    SolidBrush hubDot(Rgb(30, 84, 180));
    g.FillEllipse(&hubDot, RectF(15.0f, 16.5f, 2, 2));

    g.Restore(state);
}

}  // namespace art

UniqueBitmap RenderHeader(int width, int height, int dpi) {
    Canvas canvas(width, height);
    // Drawn in 96-dpi units, scaled to the pixels of dpi.
    const float scale = static_cast<float>(dpi) / 96.0f;
    const float w = static_cast<float>(width) / scale;
    const float h = static_cast<float>(height) / scale;
    canvas.Draw(true, [&](Graphics& g) {
        g.ScaleTransform(scale, scale);
        LinearGradientBrush base(PointF(0, 0), PointF(w, 0), Rgb(12, 38, 88), Rgb(32, 104, 200));
        g.FillRectangle(&base, RectF(0, 0, w, h));
        LinearGradientBrush shade(PointF(0, 0), PointF(0, h), Rgb(255, 255, 255, 28),
                                  Rgb(0, 0, 0, 40));
        g.FillRectangle(&shade, RectF(0, 0, w, h));

        // A soft light in the upper right and the gauge motif as faint rings around it.
        GraphicsPath glowPath;
        glowPath.AddEllipse(RectF(w - 330, -150, 420, 300));
        PathGradientBrush glow(&glowPath);
        glow.SetCenterColor(Rgb(150, 205, 255, 90));
        Color edge = Rgb(150, 205, 255, 0);
        INT edgeCount = 1;
        glow.SetSurroundColors(&edge, &edgeCount);
        g.FillPath(&glow, &glowPath);
        for (int i = 0; i < 7; ++i) {
            const float r = 46.0f + 30.0f * static_cast<float>(i);
            Pen ring(Rgb(255, 255, 255, 34 - 3 * i), 1.6f);
            g.DrawArc(&ring, RectF(w - 90 - r, h + 26 - r, 2 * r, 2 * r), 180, 180);
        }
        Pen tick(Rgb(255, 255, 255, 60), 2.0f);
        for (int i = 0; i <= 10; ++i) {
            const float angle = 3.14159265f * (1.0f + static_cast<float>(i) / 10.0f);
            const float cx = w - 90;
            const float cy = h + 26;
            g.DrawLine(&tick, cx + 140 * std::cos(angle), cy + 140 * std::sin(angle),
                       cx + 152 * std::cos(angle), cy + 152 * std::sin(angle));
        }

        // The emblem with a faint shadow, then the product name and what it does.
        GraphicsPath shadowPath;
        AddRoundedRect(shadowPath, RectF(27, 21, 70, 70), 15);
        SolidBrush shadow(Rgb(0, 0, 0, 55));
        g.FillPath(&shadow, &shadowPath);
        art::DrawEmblem(g, 24, 17, 72);

        FontFamily family(L"Tahoma");
        Font title(&family, 30, FontStyleBold, UnitPixel);
        Font subtitle(&family, 13, FontStyleRegular, UnitPixel);
        SolidBrush titleShadow(Rgb(0, 0, 0, 70));
        SolidBrush white(Rgb(255, 255, 255));
        SolidBrush pale(Rgb(176, 208, 255));
        g.DrawString(L"Kestrova", -1, &title, PointF(114, 22), &titleShadow);
        g.DrawString(L"Kestrova", -1, &title, PointF(112, 20), &white);
        RectF measured;
        g.MeasureString(L"Kestrova", -1, &title, PointF(112, 20), &measured);
        g.DrawString(L"PC Optimizer", -1, &title, PointF(measured.GetRight() - 2, 22),
                     &titleShadow);
        g.DrawString(L"PC Optimizer", -1, &title, PointF(measured.GetRight() - 4, 20), &pale);
        g.DrawString(L"Registry cleaner and system tools for Windows", -1, &subtitle,
                     PointF(115, 62), &pale);

        // A thin amber line closes the banner at the bottom.
        LinearGradientBrush accent(PointF(0, 0), PointF(w, 0), Rgb(255, 178, 50),
                                   Rgb(255, 178, 50, 0));
        g.FillRectangle(&accent, RectF(0, h - 3, w, 3));
    });
    return std::move(canvas.bitmap);
}

void PaintNavigationBackdrop(HDC dc, const RECT& area, const RECT& column) {
    Graphics g(dc);
    const float top = static_cast<float>(column.top);
    const float bottom = static_cast<float>(column.bottom);
    LinearGradientBrush fill(PointF(0, top - 1), PointF(0, bottom + 1), Rgb(240, 245, 252),
                             Rgb(214, 227, 244));
    g.FillRectangle(&fill, static_cast<INT>(area.left), static_cast<INT>(area.top),
                    static_cast<INT>(area.right - area.left),
                    static_cast<INT>(area.bottom - area.top));
    if (area.right >= column.right) {
        Pen edge(Rgb(176, 196, 224), 1);
        g.DrawLine(&edge, static_cast<INT>(column.right - 1), static_cast<INT>(area.top),
                   static_cast<INT>(column.right - 1), static_cast<INT>(area.bottom));
    }
}

UniqueIcon RenderProgramIcon(int size) {
    Canvas colour(size, size);
    colour.Draw(false, [size](Graphics& g) { art::DrawEmblem(g, 0, 0, static_cast<float>(size)); });
    UniqueBitmap mask(CreateBitmap(size, size, 1, 1, nullptr));
    ICONINFO info = {};
    info.fIcon = TRUE;
    info.hbmColor = colour.bitmap.Get();
    info.hbmMask = mask.Get();
    return UniqueIcon(CreateIconIndirect(&info));
}

UniqueImageList CreateScanImages(int dpi) {
    const int size = MulDiv(16, dpi, 96);
    UniqueImageList images(ImageList_Create(size, size, ILC_COLOR32, 2, 0));
    for (int i = 0; i < 2; ++i) {
        Canvas canvas(size, size);
        canvas.Draw(true, [i, size](Graphics& g) {
            // Drawn on a 16-pixel grid.
            g.ScaleTransform(static_cast<float>(size) / 16.0f, static_cast<float>(size) / 16.0f);
            (i == 0 ? DrawScanGroupImage : DrawErrorRowImage)(g);
        });
        ImageList_Add(images.Get(), canvas.bitmap.Get(), nullptr);
    }
    return images;
}

bool WriteProgramIconFile(const std::wstring& path) {
    const int sizes[] = {16, 20, 24, 32, 40, 48, 64, 128};
    const size_t count = std::size(sizes);
    std::vector<std::vector<BYTE>> images;
    for (int size : sizes) {
        images.push_back(IconImage(size));
    }
    std::vector<BYTE> file;
    AppendLe16(file, 0);
    AppendLe16(file, 1);
    AppendLe16(file, static_cast<unsigned>(count));
    unsigned offset = static_cast<unsigned>(6 + 16 * count);
    for (size_t i = 0; i < count; ++i) {
        file.push_back(static_cast<BYTE>(sizes[i] >= 256 ? 0 : sizes[i]));
        file.push_back(static_cast<BYTE>(sizes[i] >= 256 ? 0 : sizes[i]));
        file.push_back(0);
        file.push_back(0);
        AppendLe16(file, 1);
        AppendLe16(file, 32);
        AppendLe32(file, static_cast<unsigned>(images[i].size()));
        AppendLe32(file, offset);
        offset += static_cast<unsigned>(images[i].size());
    }
    for (const auto& image : images) {
        file.insert(file.end(), image.begin(), image.end());
    }
    UniqueKernelHandle out(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return out &&
           WriteFile(out.Get(), file.data(), static_cast<DWORD>(file.size()), &written, nullptr) &&
           written == file.size();
}

}  // namespace kestrova
