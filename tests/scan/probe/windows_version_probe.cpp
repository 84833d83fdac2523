// Prints the Windows version class this program sees and whether it sees Windows Vista, 7 and
// 8 or later (1 or 0 each), so a test can run it under per-program version settings that
// apply to a fresh process only.
#include <cstdio>

#include "scan/windows_version.h"

int main() {
    std::printf("%d %d %d %d\n", kestrova::WindowsVersionClass(),
                kestrova::WindowsVistaOrLater() ? 1 : 0, kestrova::Windows7OrLater() ? 1 : 0,
                kestrova::Windows8OrLater() ? 1 : 0);
    return 0;
}
