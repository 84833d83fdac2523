#pragma once
// Where Internet Explorer's add-ons are registered: the keys the add-on list reads and the
// add-on removal records and deletes.

#include <windows.h>

#include <string>

#include "managers/ie_addons.h"
#include "platform/key_path.h"

namespace kestrova {

inline const KeyPath kClassesKey{HKEY_CLASSES_ROOT, L"\\CLSID"};
inline const KeyPath kToolbarAllUsersKey{HKEY_LOCAL_MACHINE,
                                         L"\\SOFTWARE\\Microsoft\\Internet Explorer\\Toolbar"};
inline const KeyPath kToolbarCurrentUserKey{
    HKEY_CURRENT_USER, L"\\Software\\Microsoft\\Internet Explorer\\Toolbar\\WebBrowser"};
inline const KeyPath kBrowserExtensionsKey{
    HKEY_CURRENT_USER, L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Ext\\Stats"};
inline const KeyPath kExplorerBarsAllUsersKey{
    HKEY_LOCAL_MACHINE, L"\\SOFTWARE\\Microsoft\\Internet Explorer\\Explorer Bars"};
inline const KeyPath kExplorerBarsCurrentUserKey{
    HKEY_CURRENT_USER, L"\\Software\\Microsoft\\Internet Explorer\\Explorer Bars"};
inline const KeyPath kMenuExtensionsKey{HKEY_CURRENT_USER,
                                        L"\\Software\\Microsoft\\Internet Explorer\\MenuExt"};
inline const KeyPath kInternetExplorerKey{HKEY_CURRENT_USER,
                                          L"\\Software\\Microsoft\\Internet Explorer"};
inline constexpr wchar_t kDownloadUiValue[] = L"DownloadUI";
inline constexpr wchar_t kServerKeyName[] = L"InprocServer32";

// The key whose value (toolbars, the download handler) or subkey (the other kinds) registers
// an add-on of that kind.
const KeyPath& AddonRegistrationKey(AddonKind kind);

// True when text can name one key below another: not empty and without "". A registry value
// can hold any text, and a CLSID read from one must never reach beyond its own class key.
bool IsSingleKeyName(const std::wstring& text);

}  // namespace kestrova
