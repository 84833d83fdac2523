#pragma once
// The text form of registry paths ("HKEY_CURRENT_USER\Software\A\v") and its conversions:
// root key names, the split of an error row's Key Name into root, parent and leaf, and a
// key-exists test under a chosen root.

#include <windows.h>

#include <string>

#include "platform/key_path.h"

namespace kestrova {

// The root named by exactly "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS" or
// "HKEY_CURRENT_CONFIG" (case-sensitive); every other text gives HKEY_CLASSES_ROOT.
HKEY RootKeyFromName(const std::wstring& name);

// The root named before the first "\" of a Key Name.
HKEY KeyNameRoot(const std::wstring& keyName);

// From the first "\" (kept) to the last "\" (dropped): a path that opens from the root.
// Empty when the name has fewer than two "\".
std::wstring KeyNameParent(const std::wstring& keyName);

// The text after the last "\"; the whole text when there is none.
std::wstring KeyNameLeaf(const std::wstring& keyName);

// True when keyPath opens for reading under root.
bool KeyExistsUnder(HKEY root, const std::wstring& keyPath);

}  // namespace kestrova
