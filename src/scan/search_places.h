#pragma once
// Where the scan looks for a file that registry data names without a full path, and where a
// 32-bit program finds what it names under a 64-bit folder. Every folder ends in "\".

#include <string>
#include <vector>

namespace kestrova {

// A 64-bit folder and the folder a 32-bit program sees in its place on 64-bit Windows.
struct FolderTwin {
    std::wstring folder;  // "C:\Windows\system32\", "C:\Program Files\"
    std::wstring twin;    // "C:\Windows\SysWOW64\", "C:\Program Files (x86)\"
};

struct SearchPlaces {
    std::wstring fonts;  // font files registered by bare name
    std::wstring media;  // sound files named bare
    std::wstring help;   // help files named bare
    // Bare program and library names, as the system searches them without the current
    // directory: the system folder, the Windows folder, then each full path of PATH.
    std::vector<std::wstring> programSearch;
    // Empty on 32-bit Windows.
    std::vector<FolderTwin> x86Twins;
};

// The running system's places: the shell's Fonts folder, the Media and Help folders of the
// Windows folder, PATH as this process has it, and the twins of the system folder
// (SysWOW64), of %ProgramFiles% and of %CommonProgramFiles%.
SearchPlaces SystemSearchPlaces();

}  // namespace kestrova
