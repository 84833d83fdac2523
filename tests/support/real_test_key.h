#pragma once
// For tests that run the real registry editor, a process of its own that no sandbox of the
// test's process redirects: a key of the test's own under the real HKEY_CURRENT_USER
// (Software\KestrovaRegeditTest\<name>-<process>-<n>), deleted with all it holds at the end.
// Never create one while a RegistrySandbox is alive: HKEY_CURRENT_USER is redirected then.
// Also the files the registry editor reads and writes: UTF-16LE text with a byte-order mark.

#include <windows.h>

#include <string>

#include "platform/key_path.h"

namespace kestrova::test {

class RealTestKey {
public:
    explicit RealTestKey(const std::wstring& name);
    ~RealTestKey();
    RealTestKey(const RealTestKey&) = delete;
    RealTestKey& operator=(const RealTestKey&) = delete;

    // {HKEY_CURRENT_USER, "\Software\KestrovaRegeditTest\..."}.
    const KeyPath& Key() const { return key_; }
    // "HKEY_CURRENT_USER\Software\KestrovaRegeditTest\...", as the registry editor names it.
    std::wstring Text() const { return key_.Text(); }

private:
    KeyPath key_;
};

// The text of a registry editor file (UTF-16LE with its byte-order mark); throws when the file
// cannot be read or is not of that form.
std::wstring ReadRegFile(const std::wstring& path);
// Writes text as UTF-16LE with a byte-order mark.
void WriteRegFile(const std::wstring& path, const std::wstring& text);
// The header every export begins with: "Windows Registry Editor Version 5.00" and a blank line.
std::wstring RegFileHeader();
// The header and only those sections of an export whose key is `key` or lies below it.
std::wstring RegSectionsOf(const std::wstring& exportText, const std::wstring& key);

}  // namespace kestrova::test
