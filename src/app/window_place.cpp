#include "app/window_place.h"

#include <cwchar>
#include <vector>

#include "app/first_activation.h"
#include "platform/registry.h"

namespace kestrova {

std::wstring FormatWindowPlace(const WindowPlace& place) {
    return std::to_wstring(place.normal.left) + L"," + std::to_wstring(place.normal.top) + L"," +
           std::to_wstring(place.normal.right) + L"," + std::to_wstring(place.normal.bottom) +
           L"," + (place.maximized ? L"1" : L"0") + L"," + std::to_wstring(place.dpi);
}

std::optional<WindowPlace> ParseWindowPlace(const std::wstring& text) {
    std::vector<long> numbers;
    const wchar_t* at = text.c_str();
    while (true) {
        wchar_t* end = nullptr;
        const long number = std::wcstol(at, &end, 10);
        if (end == at) {
            return std::nullopt;
        }
        numbers.push_back(number);
        if (*end == L'\0') {
            break;
        }
        if (*end != L',') {
            return std::nullopt;
        }
        at = end + 1;
    }
    if (numbers.size() != 6 || (numbers[4] != 0 && numbers[4] != 1) || numbers[5] < 48 ||
        numbers[5] > 960) {
        return std::nullopt;
    }
    WindowPlace place;
    place.normal = {numbers[0], numbers[1], numbers[2], numbers[3]};
    place.maximized = numbers[4] == 1;
    place.dpi = static_cast<int>(numbers[5]);
    if (place.normal.right <= place.normal.left || place.normal.bottom <= place.normal.top) {
        return std::nullopt;
    }
    return place;
}

WindowPlace FitWindowPlace(WindowPlace place, SIZE minimum, int dpi) {
    RECT& r = place.normal;
    LONG width = MulDiv(r.right - r.left, dpi, place.dpi);
    LONG height = MulDiv(r.bottom - r.top, dpi, place.dpi);
    width = width < minimum.cx ? minimum.cx : width;
    height = height < minimum.cy ? minimum.cy : height;
    r.right = r.left + width;
    r.bottom = r.top + height;
    place.dpi = dpi;
    return place;
}

std::optional<WindowPlace> UsableWindowPlace(const WindowPlace& saved, SIZE minimum, int dpi) {
    const WindowPlace place = FitWindowPlace(saved, minimum, dpi);
    const HMONITOR monitor = MonitorFromRect(&place.normal, MONITOR_DEFAULTTONULL);
    MONITORINFO info = {sizeof(info)};
    if (!monitor || !GetMonitorInfoW(monitor, &info)) {
        return std::nullopt;
    }
    RECT shared = {};
    if (!IntersectRect(&shared, &place.normal, &info.rcWork) || shared.right - shared.left < 100 ||
        shared.bottom - shared.top < 50) {
        return std::nullopt;
    }
    return place;
}

std::optional<WindowPlace> LoadWindowPlace() {
    try {
        Registry reg(HKEY_CURRENT_USER);
        if (!reg.OpenKeyReadOnly(kProgramStateKeyPath) || !reg.ValueExists(kWindowPlacementValue)) {
            return std::nullopt;
        }
        return ParseWindowPlace(reg.ReadString(kWindowPlacementValue));
    } catch (...) {
        // A value of another type is no place: the window opens at its designed size.
        return std::nullopt;
    }
}

bool SaveWindowPlace(const WindowPlace& place) {
    try {
        Registry reg(HKEY_CURRENT_USER);
        if (!reg.OpenKey(kProgramStateKeyPath, true)) {
            return false;
        }
        reg.WriteString(kWindowPlacementValue, FormatWindowPlace(place));
        return true;
    } catch (...) {
        return false;
    }
}

}  // namespace kestrova
