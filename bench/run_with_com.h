#pragma once
// The common ending of every benchmark's wmain: COM on this thread for MSXML, the run, and any
// exception printed instead of ending the program without a word.

#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <exception>

namespace kestrova::bench {

// Returns run()'s result, or 1 when COM cannot be initialised or run() throws.
template <typename Run>
int RunWithCom(DWORD apartment, Run run) {
    if (FAILED(CoInitializeEx(nullptr, apartment))) {
        std::fprintf(stderr, "COM could not be initialised\n");
        return 1;
    }
    int result = 1;
    try {
        result = run();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
    }
    CoUninitialize();
    return result;
}

}  // namespace kestrova::bench
