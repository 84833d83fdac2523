#pragma once
// Points the five registry roots of this process at empty scratch keys while the object
// lives, as the test sandbox does, but with volatile keys: the tens of thousands of keys a
// benchmark writes are never saved into the Wine prefix's registry files, even when the
// program is killed half way.

#include <windows.h>

#include <string>

#include "platform/unique_handles.h"

namespace kestrova::bench {

class RegistryRedirect {
public:
    RegistryRedirect();
    ~RegistryRedirect();
    RegistryRedirect(const RegistryRedirect&) = delete;
    RegistryRedirect& operator=(const RegistryRedirect&) = delete;

private:
    std::wstring scratchPath_;  // below the real HKEY_CURRENT_USER
};

// Creates or opens the volatile key path below parent; throws std::runtime_error on failure.
UniqueHKey CreateVolatileKey(HKEY parent, const std::wstring& path);

// Writes a REG_SZ value; throws std::runtime_error on failure.
void SetText(HKEY key, const std::wstring& name, const std::wstring& text);

}  // namespace kestrova::bench
