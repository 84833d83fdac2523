#include "app/autorun.h"

#include "platform/registry.h"

namespace kestrova {

bool IsAutorunSet(const std::wstring& executablePath) {
    Registry reg(HKEY_CURRENT_USER);
    if (!reg.OpenKey(kRunKeyPath, true)) {
        return false;
    }
    return reg.ReadString(kAutorunValueName) == executablePath;
}

void SetAutorun(bool on, const std::wstring& executablePath) {
    Registry reg(HKEY_CURRENT_USER);
    if (!reg.OpenKey(kRunKeyPath, true)) {
        if (on) {
            throw RegistryError(RegistryError::Kind::SetDataFailed, kAutorunValueName);
        }
        return;
    }
    if (on) {
        reg.WriteString(kAutorunValueName, executablePath);
    } else {
        reg.DeleteValue(kAutorunValueName);
    }
}

}  // namespace kestrova
