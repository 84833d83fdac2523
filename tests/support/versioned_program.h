#pragma once
// A console program copied under a name of its own, so that Wine's per-program Windows
// version setting (HKEY_CURRENT_USER\Software\Wine\AppDefaults\<name>\Version, in the real
// registry: a child does not see a test's sandbox) makes it see another Windows version. The
// setting goes again with the object; the copy goes with its folder.

#include <string>

#include "support/child_process.h"

namespace kestrova::test {

class VersionedProgram {
public:
    // True under Wine, which alone has the setting.
    static bool Available();

    // Copies program into folder (which ends in "\") as name and sets version ("winxp",
    // "win7", "win10", ...). Throws std::runtime_error when either fails.
    VersionedProgram(const std::wstring& program, const std::wstring& folder,
                     const std::wstring& name, const std::wstring& version);
    ~VersionedProgram();
    VersionedProgram(const VersionedProgram&) = delete;
    VersionedProgram& operator=(const VersionedProgram&) = delete;

    void SetVersion(const std::wstring& version);
    ChildResult Run(const std::wstring& arguments) const { return RunChild(path_, arguments); }

private:
    std::wstring path_;
    std::wstring settingsKey_;
    bool createdAppDefaults_ = false;
};

}  // namespace kestrova::test
