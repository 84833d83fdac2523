// The UserAssist records of Windows 7 and later: their names and the counters in their data.
#include <windows.h>

#include <knownfolders.h>
#include <objbase.h>

#include <array>
#include <cstring>

#include "tools/find_file_masks.h"
#include "tools/user_assist.h"

namespace kestrova {

namespace {

struct KnownFolder {
    const GUID* id;
    const wchar_t* name;  // the FOLDERID_ constant's name without its prefix
};

// The folders that Explorer writes at the start of the records' names.
const std::array<KnownFolder, 28> kKnownFolders = {{
    {&FOLDERID_System, L"System"},
    {&FOLDERID_SystemX86, L"SystemX86"},
    {&FOLDERID_Windows, L"Windows"},
    {&FOLDERID_ProgramFiles, L"ProgramFiles"},
    {&FOLDERID_ProgramFilesX64, L"ProgramFilesX64"},
    {&FOLDERID_ProgramFilesX86, L"ProgramFilesX86"},
    {&FOLDERID_ProgramFilesCommon, L"ProgramFilesCommon"},
    {&FOLDERID_ProgramFilesCommonX64, L"ProgramFilesCommonX64"},
    {&FOLDERID_ProgramFilesCommonX86, L"ProgramFilesCommonX86"},
    {&FOLDERID_UserProgramFiles, L"UserProgramFiles"},
    {&FOLDERID_Programs, L"Programs"},
    {&FOLDERID_CommonPrograms, L"CommonPrograms"},
    {&FOLDERID_StartMenu, L"StartMenu"},
    {&FOLDERID_CommonStartMenu, L"CommonStartMenu"},
    {&FOLDERID_Startup, L"Startup"},
    {&FOLDERID_CommonStartup, L"CommonStartup"},
    {&FOLDERID_AdminTools, L"AdminTools"},
    {&FOLDERID_CommonAdminTools, L"CommonAdminTools"},
    {&FOLDERID_UserPinned, L"UserPinned"},
    {&FOLDERID_QuickLaunch, L"QuickLaunch"},
    {&FOLDERID_Desktop, L"Desktop"},
    {&FOLDERID_PublicDesktop, L"PublicDesktop"},
    {&FOLDERID_Documents, L"Documents"},
    {&FOLDERID_Downloads, L"Downloads"},
    {&FOLDERID_Profile, L"Profile"},
    {&FOLDERID_LocalAppData, L"LocalAppData"},
    {&FOLDERID_RoamingAppData, L"RoamingAppData"},
    {&FOLDERID_ProgramData, L"ProgramData"},
}};

constexpr size_t kGuidLength = 38;  // "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}"

// The name with a leading known folder's identifier replaced by the folder's name.
std::wstring WithFolderName(const std::wstring& name) {
    if (name.size() < kGuidLength || name[0] != L'{') {
        return name;
    }
    const std::wstring prefix = UpperAscii(name.substr(0, kGuidLength));
    for (const KnownFolder& folder : kKnownFolders) {
        wchar_t id[kGuidLength + 1] = {};
        if (StringFromGUID2(*folder.id, id, kGuidLength + 1) == kGuidLength + 1 && prefix == id) {
            return folder.name + name.substr(kGuidLength);
        }
    }
    return name;
}

bool EndsWithNoCase(const std::wstring& text, const std::wstring& ending) {
    return text.size() >= ending.size() &&
           UpperAscii(text.substr(text.size() - ending.size())) == UpperAscii(ending);
}

template <typename T>
T ReadAt(const std::vector<BYTE>& bytes, size_t offset) {
    T value;
    std::memcpy(&value, bytes.data() + offset, sizeof(value));
    return value;
}

}  // namespace

UserAssistItem ParseUserAssist7Name(std::wstring_view name) {
    const std::wstring decoded = DecodeUserAssistName(name);
    UserAssistItem item;
    // Explorer's own records keep the old form: a kind, a colon and what it counts.
    if (decoded.starts_with(L"UEME_")) {
        const size_t colon = decoded.find(L':');
        item.itemPath = colon == std::wstring::npos ? decoded : decoded.substr(colon + 1);
        item.itemType = L"Unknown";
        return item;
    }
    item.itemPath = WithFolderName(decoded);
    const std::wstring& path = item.itemPath;
    if (EndsWithNoCase(path, L".lnk")) {
        item.itemType = L"Start Menu";
    } else if (path.starts_with(L"{") || path.starts_with(L"::")) {
        // A shell item, or a folder this program has no name for.
        item.itemType = L"System";
    } else if (EndsWithNoCase(path, L".cpl")) {
        item.itemType = L"Control Panel Applets";
    } else if (path.find(L'\\') != std::wstring::npos) {
        item.itemType = L"Executables";
    } else {
        item.itemType = L"Application";
    }
    return item;
}

std::optional<UserAssistUsage> ReadUserAssistUsage(DWORD type, const std::vector<BYTE>& bytes) {
    if (type != REG_BINARY || bytes.size() != kUserAssistUsageSize) {
        return std::nullopt;
    }
    UserAssistUsage usage;
    usage.runCount = ReadAt<uint32_t>(bytes, 4);
    usage.focusCount = ReadAt<uint32_t>(bytes, 8);
    usage.focusMilliseconds = ReadAt<uint32_t>(bytes, 12);
    usage.lastRun = ReadAt<uint64_t>(bytes, 60);
    return usage;
}

}  // namespace kestrova
