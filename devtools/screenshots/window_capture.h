#pragma once
// A picture of a window as it is on screen, frame and title bar included, saved as PNG.

#include <windows.h>

#include <string>

namespace kestrova::shots {

// Copies what the screen shows of window (which must be visible and uncovered) into a PNG file
// at path; throws Error when it cannot. GDI+ must be running.
void SaveWindowPng(HWND window, const std::wstring& path);

}  // namespace kestrova::shots
