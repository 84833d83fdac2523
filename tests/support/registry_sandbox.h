#pragma once
// Points the five predefined registry roots of this process at empty scratch keys for the
// lifetime of the object, so a test never sees or changes the real registry.

#include <windows.h>

#include <string>

#include "platform/unique_handles.h"

namespace kestrova::test {

// The variable that makes kestrova-cli work on a sandbox: set to ScratchPath() for a child.
inline constexpr wchar_t kRegistrySandboxVariable[] = L"KESTROVA_REGISTRY_SANDBOX";

class RegistrySandbox {
public:
    RegistrySandbox();
    ~RegistrySandbox();
    RegistrySandbox(const RegistrySandbox&) = delete;
    RegistrySandbox& operator=(const RegistrySandbox&) = delete;

    // Empties every root: the sandbox as it began.
    void Clear() const;

    // The real key (under the real HKEY_CURRENT_USER) standing in for a root.
    const std::wstring& ScratchPath() const { return scratchPath_; }

private:
    std::wstring scratchPath_;
};

}  // namespace kestrova::test
