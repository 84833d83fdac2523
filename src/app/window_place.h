#pragma once
// The main window's size and place, remembered between runs in the current user's program
// state key (the path of the program state key, under HKEY_CURRENT_USER: the place belongs to
// the user, not the machine).

#include <windows.h>

#include <optional>
#include <string>

namespace kestrova {

inline constexpr wchar_t kWindowPlacementValue[] = L"WindowPlacement";

struct WindowPlace {
    RECT normal = {};  // the window's rectangle when neither maximised nor minimised
    bool maximized = false;
    int dpi = 96;  // the dots per inch the rectangle was measured at
};

// "left,top,right,bottom,maximized,dpi", e.g. "80,60,880,660,0,96".
std::wstring FormatWindowPlace(const WindowPlace& place);
// Nothing for text that is not such a place (wrong count, not numbers, empty rectangle, dpi
// out of 48..960).
std::optional<WindowPlace> ParseWindowPlace(const std::wstring& text);
// The place at dpi: its size scaled from the dpi it was saved at (the top left corner kept),
// then grown to at least minimum.
WindowPlace FitWindowPlace(WindowPlace place, SIZE minimum, int dpi);

// The place to open at: the saved place fitted to dpi and minimum, provided enough of it lies
// on a monitor that is there now to take hold of its title bar; nothing otherwise.
std::optional<WindowPlace> UsableWindowPlace(const WindowPlace& saved, SIZE minimum, int dpi);

// Reads the remembered place; nothing when none (or no readable one) is stored.
std::optional<WindowPlace> LoadWindowPlace();
// Stores the place; false when the key cannot be written.
bool SaveWindowPlace(const WindowPlace& place);

}  // namespace kestrova
