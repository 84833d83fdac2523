#pragma once
// The Internet Explorer add-ons manager without its window: the rows of the add-on list, read
// from the registry in five kinds (toolbars, browser extensions, explorer bars, menu
// extensions, the download handler), and the rows the manager refuses to delete. Deleting is
// in ie_addons_delete.h.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace kestrova {

enum class AddonKind {
    ToolbarAllUsers,
    ToolbarCurrentUser,
    BrowserExtension,
    ExplorerBarAllUsers,
    ExplorerBarCurrentUser,
    MenuExtension,
    DownloadHandler,
};

// The "Type" column's text: "Toolbar ALL USER", "Toolbar CURRENT USER", "Browser Extensions",
// "Exp. ALL USER", "Exp. CURRENT USER", "Menu Extensions", "Download Handler".
const wchar_t* AddonKindText(AddonKind kind);

inline constexpr wchar_t kMenuExtensionsEntry[] =
    L"HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\MenuExt";

// One row of the add-on list.
struct AddonRow {
    AddonKind kind;
    std::wstring name;   // "Name": the display name
    std::wstring type;   // "Type": AddonKindText(kind)
    std::wstring entry;  // "Registry Entries": the CLSID text, or kMenuExtensionsEntry
    std::wstring path;   // "Path": the add-on's file
    // The registration's exact name: the CLSID text, or the menu extension's key name (the
    // display name has lost its "&" and may stand for an empty name).
    std::wstring keyName;
    // Where the add-on is registered, as a registry path text: the key's text and the CLSID
    // ("HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Ext\Stats\{...}"), the
    // menu extension's key name, or "DownloadUI". Unique among the rows and stable from one
    // listing to the next.
    std::wstring id;

    friend bool operator==(const AddonRow&, const AddonRow&) = default;
};

// Which kinds to list: the five Display check boxes.
struct AddonKinds {
    bool toolbars = true;
    bool browserExtensions = true;
    bool explorerBars = true;
    bool menuExtensions = true;
    bool downloadHandler = true;
};

// The rows of every kind asked for, sorted by name (the user's locale, case-sensitive; equal
// names in listing order). A key that cannot be opened gives no rows.
std::vector<AddonRow> FillAddonList(const AddonKinds& kinds);

// The value as text: a string as stored (unexpanded), a 32-bit number in signed decimal,
// binary data as upper-case hex pairs joined by ","; empty for any other type, a missing
// value or a missing key. keyPath starts with "\"; the empty name reads the default value.
std::wstring ReadValueAsText(HKEY root, const std::wstring& keyPath, const std::wstring& valueName);

struct ToolbarInfo {
    std::wstring classTitle;  // default value of HKEY_CLASSES_ROOT\CLSID\<clsid>
    std::wstring serverFile;  // default value of that key's server subkey
};

ToolbarInfo ReadClassInfo(const std::wstring& clsid, const std::wstring& serverKeyName);

// The name a row shows for the raw name found: "(Unknown)" when it is blank, else the raw name
// without any "&" ("Unknown Toolbar" when nothing is left), then " Toolbar" appended for the
// two toolbar kinds.
std::wstring AddonDisplayName(AddonKind kind, const std::wstring& rawName);

// Appends a row unless the entry text is blank. For a menu extension the raw name is its key
// name; for every other kind the entry text (the CLSID) names the registration.
void AddAddonRow(std::vector<AddonRow>& rows, AddonKind kind, const std::wstring& rawName,
                 const std::wstring& entry, const std::wstring& path);

inline constexpr wchar_t kAddressLinksProtectedMessage[] =
    L"Links and Address bar cannot be delete. Sorry";
inline constexpr wchar_t kDefaultExplorerBarsProtectedMessage[] =
    L"The default Explorer bars such as History, Favourite, Search - cannot be deleted";

// The message shown instead of deleting a protected row: the current user's "Address Toolbar"
// and "Links Toolbar", and explorer bars served by browseui.dll, shell32.dll or shdocvw.dll.
std::optional<std::wstring> AddonProtectedMessage(const AddonRow& row);

}  // namespace kestrova
