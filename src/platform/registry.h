#pragma once
// One registry wrapper per operation: create it, set the root, open a key, read or write,
// and let it go. Paths beginning with "\" start at the root; any other path starts at the
// open key (or the root when none is open).

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry_error.h"
#include "platform/unique_handles.h"

namespace kestrova {

enum class RegDataType { String, ExpandString, Integer, Binary, Unknown };

// A value exactly as stored: its registry type number and raw bytes.
struct RawValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

class Registry {
public:
    explicit Registry(HKEY root = HKEY_CURRENT_USER);
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;

    HKEY RootKey() const { return root_; }
    // Closes any open key: later paths start at the new root.
    void SetRootKey(HKEY root);
    // The open key's handle, or nullptr when none is open.
    HKEY CurrentKey() const { return current_.Get(); }

    bool OpenKey(const std::wstring& path, bool create);
    bool OpenKeyReadOnly(const std::wstring& path);
    void CloseKey();
    bool KeyExists(const std::wstring& path) const;

    bool ValueExists(const std::wstring& name) const;
    void GetKeyNames(std::vector<std::wstring>& list) const;
    void GetValueNames(std::vector<std::wstring>& list) const;
    bool HasSubKeys() const;
    RegDataType GetDataType(const std::wstring& name) const;
    // Size of the value's data in bytes; -1 when the value is missing.
    int64_t GetDataSize(const std::wstring& name) const;

    // Text up to its first NUL, unexpanded; empty when missing. The empty name is the
    // default value.
    std::wstring ReadString(const std::wstring& name) const;
    int32_t ReadInteger(const std::wstring& name) const;
    // Copies the data into buffer and returns the byte count; 0 when missing.
    size_t ReadBinaryData(const std::wstring& name, void* buffer, size_t size) const;
    // Type and bytes of any value; false (and raw untouched) when missing or unreadable.
    bool ReadRaw(const std::wstring& name, RawValue& raw) const;
    // The text of a value that should hold text, in one registry call where it fits (the scan
    // reads tens of thousands of values): empty when the value is missing, none when it holds
    // another type. Stored text without its NUL or with an odd byte count gives its whole
    // characters up to the first NUL. Throws RegistryError when the value keeps changing size.
    std::optional<std::wstring> ReadText(const std::wstring& name) const;

    void WriteString(const std::wstring& name, const std::wstring& value);
    void WriteExpandString(const std::wstring& name, const std::wstring& value);
    void WriteInteger(const std::wstring& name, int32_t value);
    void WriteBinaryData(const std::wstring& name, const void* data, size_t size);
    void WriteRaw(const std::wstring& name, const RawValue& raw);

    bool DeleteValue(const std::wstring& name);
    // Deletes every subkey, deepest first, then the key itself. Registry links are never
    // followed: a link below the key stays (and so does the key, which then is not empty), and
    // a path whose last level is a link deletes nothing.
    bool DeleteKey(const std::wstring& path);

    // --- Key information, exact writes, stored names and registry links --------------------

    // Counts and longest lengths (in characters, without the NUL; value data in bytes).
    struct KeyInfo {
        DWORD subKeys = 0;
        DWORD maxSubKeyLength = 0;
        DWORD values = 0;
        DWORD maxValueNameLength = 0;
        DWORD maxValueLength = 0;
    };
    // The open key's counts; none when no key is open or the registry refuses.
    std::optional<KeyInfo> QueryKeyInfo() const;

    // Writes the type and bytes exactly as given, whatever the type: text data without its
    // final NUL, or of an odd byte count, stays as it is. Throws SetDataFailed.
    void WriteRawExact(const std::wstring& name, const RawValue& raw);

    // The open key's own name (its last level) spelled as the registry stores it, whatever
    // spelling opened it; none when no key is open or the registry cannot tell.
    std::optional<std::wstring> StoredKeyName() const;

    // Opens the key for reading as OpenKeyReadOnly does, except that when the path's last
    // level is a registry link, the link itself is opened instead of its target.
    bool OpenKeyNoFollow(const std::wstring& path);
    // True when the path's last level is a registry link (a key made with
    // REG_OPTION_CREATE_LINK, whose SymbolicLinkValue names another key).
    bool IsLink(const std::wstring& path) const;

    // The system's own full name of the open key ("\REGISTRY\MACHINE\SOFTWARE\..."), reached
    // after any registry link was followed: two paths that name one key give the same name.
    // Empty when no key is open or the system does not tell.
    std::wstring OpenKeyObjectName() const;

private:
    // Where a path starts, and the path relative to that point.
    HKEY BaseFor(const std::wstring& path, std::wstring& relative) const;
    bool OpenWithFallbacks(const std::wstring& path, UniqueHKey& key, DWORD options = 0) const;
    void WriteTyped(const std::wstring& name, DWORD type, const void* data, size_t size);

    HKEY root_;
    UniqueHKey current_;
};

// Points the roots HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS and
// HKEY_CURRENT_CONFIG of this process, for the rest of its run, at the existing keys
// scratchPath + "\" + the root's long name below the real HKEY_CURRENT_USER: how a test's
// registry sandbox is shared with a child process. False, and no root redirected, when one
// of those keys does not exist.
bool RedirectRootKeys(const std::wstring& scratchPath);

}  // namespace kestrova
