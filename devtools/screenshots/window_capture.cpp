#include "window_capture.h"

#include <vector>

#include "app/gdiplus_include.h"
#include "platform/error.h"
#include "platform/gdi_handles.h"

namespace kestrova::shots {

namespace {

CLSID PngEncoder() {
    UINT count = 0;
    UINT bytes = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &bytes) != Gdiplus::Ok || bytes == 0) {
        throw Error(L"GDI+ lists no image encoders");
    }
    std::vector<BYTE> buffer(bytes);
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(count, bytes, encoders) == Gdiplus::Ok) {
        for (UINT i = 0; i < count; ++i) {
            if (std::wstring(encoders[i].MimeType) == L"image/png") {
                return encoders[i].Clsid;
            }
        }
    }
    throw Error(L"GDI+ has no PNG encoder");
}

}  // namespace

void SaveWindowPng(HWND window, const std::wstring& path) {
    RECT bounds = {};
    if (!GetWindowRect(window, &bounds)) {
        throw Error(L"no window to capture: " + SystemErrorText(GetLastError()));
    }
    const int width = bounds.right - bounds.left;
    const int height = bounds.bottom - bounds.top;

    // The screen's own picture at the window's place: what the user sees there.
    const WindowDc source(nullptr);
    const UniqueMemoryDc memory(CreateCompatibleDC(source.Get()));
    const UniqueBitmap picture(CreateCompatibleBitmap(source.Get(), width, height));
    if (!source.Get() || !memory || !picture) {
        throw Error(L"no device context or bitmap for a " + std::to_wstring(width) + L" x " +
                    std::to_wstring(height) + L" window");
    }
    {
        const SelectedObject selected(memory.Get(), picture.Get());
        if (!BitBlt(memory.Get(), 0, 0, width, height, source.Get(), bounds.left, bounds.top,
                    SRCCOPY | CAPTUREBLT)) {
            throw Error(L"the window could not be copied: " + SystemErrorText(GetLastError()));
        }
    }
    Gdiplus::Bitmap bitmap(picture.Get(), nullptr);
    const CLSID png = PngEncoder();
    if (bitmap.GetLastStatus() != Gdiplus::Ok ||
        bitmap.Save(path.c_str(), &png, nullptr) != Gdiplus::Ok) {
        throw Error(L"could not save " + path);
    }
}

}  // namespace kestrova::shots
