#pragma once
// Pictures of a window for a person to look at: written only when KESTROVA_SNAPSHOT_DIR names
// a folder, as NAME.bmp there (the window's client area).

#include <windows.h>

#include <string>

namespace kestrova::test {

void SaveSnapshotIfAsked(HWND window, const std::string& name);

}  // namespace kestrova::test
