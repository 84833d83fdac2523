#pragma once
// A registry key as a root handle and the path below it, and its text form
// ("HKEY_LOCAL_MACHINE\SOFTWARE\A"), so no code builds "HKEY_..." + path strings by hand.

#include <windows.h>

#include <string>

#ifndef HKEY_DYN_DATA
#define HKEY_DYN_DATA ((HKEY)(ULONG_PTR)((LONG)0x80000006))
#endif

namespace kestrova {

// The long name of a predefined root ("HKEY_LOCAL_MACHINE"); empty for any other handle.
std::wstring RootKeyName(HKEY root);

struct KeyPath {
    HKEY root = HKEY_CURRENT_USER;
    // From the root, each level after a "\" ("\SOFTWARE\A"); empty for the root itself.
    std::wstring path;

    // The root's long name followed by the path: "HKEY_LOCAL_MACHINE\SOFTWARE\A".
    std::wstring Text() const { return RootKeyName(root) + path; }
    // The subkey name one level down.
    KeyPath Child(const std::wstring& name) const { return {root, path + L"\\" + name}; }
    // The text of a value (or subkey) of this key: Text() + "\" + name.
    std::wstring TextOf(const std::wstring& name) const { return Text() + L"\\" + name; }

    friend bool operator==(const KeyPath&, const KeyPath&) = default;
};

}  // namespace kestrova
