// Build step: writes the program icon, drawn by the program's own artwork code, to the .ico
// file named on the command line.
#include <cstdio>

#include "app/artwork.h"

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fputs("usage: kestrova_make_icon <file.ico>\n", stderr);
        return 2;
    }
    kestrova::GdiplusSession gdiplus;
    if (!kestrova::WriteProgramIconFile(argv[1])) {
        std::fputs("kestrova_make_icon: cannot write the icon file\n", stderr);
        return 1;
    }
    return 0;
}
