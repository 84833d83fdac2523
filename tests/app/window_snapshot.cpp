#include "window_snapshot.h"

#include <cstdlib>
#include <vector>

#include "platform/gdi_handles.h"
#include "platform/text.h"
#include "support/message_pump.h"
#include "support/temp_folder.h"

namespace kestrova::test {

void SaveSnapshotIfAsked(HWND window, const std::string& name) {
    const char* folder = std::getenv("KESTROVA_SNAPSHOT_DIR");
    if (!folder || !*folder) {
        return;
    }
    // On top of everything else on the display while the screen is read.
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME | RDW_UPDATENOW);
    PumpMessagesFor(300);
    RECT r = {};
    GetClientRect(window, &r);
    const int width = r.right;
    const int height = r.bottom;
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = height;  // bottom-up, as a .bmp file keeps it
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    std::vector<BYTE> pixels(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    {
        // The window's own drawing surface, children included (the screen lags behind it).
        const WindowDc source(window);
        const UniqueMemoryDc memory(CreateCompatibleDC(source.Get()));
        UniqueBitmap picture(CreateCompatibleBitmap(source.Get(), width, height));
        {
            SelectedObject keep(memory.Get(), picture.Get());
            BitBlt(memory.Get(), 0, 0, width, height, source.Get(), 0, 0, SRCCOPY);
        }
        GetDIBits(memory.Get(), picture.Get(), 0, static_cast<UINT>(height), pixels.data(),
                  reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
    }
    // Opaque: GDI leaves the fourth byte empty, and viewers take it for transparency.
    for (size_t i = 3; i < pixels.size(); i += 4) {
        pixels[i] = 0xFF;
    }
    SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    // A .bmp file: the file header, the bitmap header, the pixels.
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof(file));
    bytes.append(reinterpret_cast<const char*>(&header), sizeof(header));
    bytes.append(reinterpret_cast<const char*>(pixels.data()), pixels.size());
    WriteFileBytes(FromUtf8(std::string(folder) + "\\" + name + ".bmp"), bytes);
}

}  // namespace kestrova::test
