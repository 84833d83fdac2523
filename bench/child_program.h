#pragma once
// What the programs that run kestrova-cli as a child share: where it lies, and their wmain.

#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <string>

#include "run_with_com.h"

namespace kestrova::bench {

// The kestrova-cli.exe of the build this program belongs to (build/bench/.. = build).
inline std::wstring CliBesideThisProgram() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    folder.resize(folder.find_last_of(L'\\'));
    return folder.substr(0, folder.find_last_of(L'\\') + 1) + L"kestrova-cli.exe";
}

// Reads the options with read(argc, argv, options), printing the usage and returning 2 when
// it fails; then runs run(options) with COM.
template <typename Options, typename Read, typename Run>
int ChildProgramMain(int argc, wchar_t** argv, const char* usage, Read read, Run run) {
    Options options;
    if (!read(argc, argv, options)) {
        std::fprintf(stderr, "usage: %s\n", usage);
        return 2;
    }
    return RunWithCom(COINIT_APARTMENTTHREADED, [&] { return run(options); });
}

}  // namespace kestrova::bench
