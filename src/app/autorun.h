#pragma once
// Starting the program with Windows: the text value "Kestrova" in the current user's Run key
// holds the executable's full path while autorun is on.

#include <string>

namespace kestrova {

inline constexpr wchar_t kRunKeyPath[] = L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr wchar_t kAutorunValueName[] = L"Kestrova";

// True when the Run value's text equals executablePath exactly (case-sensitive). Opens the Run
// key with create set, so a missing key is made. A value of another type throws RegistryError.
bool IsAutorunSet(const std::wstring& executablePath);
// On: writes the Run value with executablePath. Off: deletes it; a missing value is no error.
// A value that cannot be written throws RegistryError.
void SetAutorun(bool on, const std::wstring& executablePath);

}  // namespace kestrova
