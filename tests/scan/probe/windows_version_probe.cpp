// Prints the Windows version class this program sees, so a test can run it under
// per-program version settings that apply to a fresh process only.
#include <cstdio>

#include "scan/windows_version.h"

int main() {
    std::printf("%d\n", kestrova::WindowsVersionClass());
    return 0;
}
