#include "scan/target_missing.h"

#include <windows.h>

#include "scan/guess_path.h"
#include "scan/path_exists.h"

namespace kestrova {

namespace {

bool TargetExists(const std::wstring& data) {
    return FileExists(data) || FileExists(GuessPath(data)) || FolderExists(data);
}

// data with its %NAME% references replaced from the environment; unchanged on failure.
std::wstring ExpandEnvironment(const std::wstring& data) {
    DWORD size = ExpandEnvironmentStringsW(data.c_str(), nullptr, 0);
    for (int attempt = 0; size != 0 && attempt < 4; ++attempt) {
        std::wstring expanded(size, L'\0');
        const DWORD needed = ExpandEnvironmentStringsW(data.c_str(), expanded.data(), size);
        if (needed == 0) {
            break;
        }
        if (needed <= size) {
            expanded.resize(needed - 1);
            return expanded;
        }
        size = needed;  // the environment grew between the two calls
    }
    return data;
}

}  // namespace

bool TargetMissing(const std::wstring& data) {
    if (data.empty() || TargetExists(data)) {
        return false;
    }
    // Many entries are written as "%windir%\...", "%ProgramFiles%\..." or "%SystemDrive%\...";
    // such a target is there when its expanded form is.
    if (data.find(L'%') != std::wstring::npos) {
        const std::wstring expanded = ExpandEnvironment(data);
        if (expanded != data && TargetExists(expanded)) {
            return false;
        }
    }
    return true;
}

}  // namespace kestrova
