#include "support/stale_entries.h"

#include <stdexcept>
#include <vector>

#include "platform/registry.h"
#include "scan/scan_groups.h"

namespace kestrova::test {

namespace {

const std::wstring kMissingFolder = L"C:\\KestrovaStaleEntries-gone\\";

// The registry wrapper, with the key at path opened (created first when missing).
struct CreatedKey {
    CreatedKey(HKEY root, const std::wstring& path) : registry(root) {
        if (!registry.OpenKey(path, true)) {
            throw std::runtime_error("cannot create a stale entry's key");
        }
    }
    Registry* operator->() { return &registry; }
    Registry registry;
};

// Values of many types and sizes, and a small tree, below a key that a fix deletes whole.
void AddPayload(HKEY root, const std::wstring& path, size_t n) {
    CreatedKey key(root, path);
    std::vector<BYTE> bytes(n % 61);
    for (size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<BYTE>(i * 13 + n);
    }
    key->WriteRawExact(L"Binary", RawValue{REG_BINARY, bytes});
    key->WriteInteger(L"Number", static_cast<int32_t>(n * 2654435761u));
    key->WriteExpandString(L"Expand", L"%SystemRoot%\\" + std::to_wstring(n));
    key->WriteRawExact(L"Multi", RawValue{REG_MULTI_SZ, {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0}});
    key->WriteRawExact(L"NoNul", RawValue{REG_SZ, {'x', 0, 'y', 0}});
    key->WriteRawExact(L"Quad", RawValue{REG_QWORD, {1, 2, 3, 4, 5, 6, 7, static_cast<BYTE>(n)}});
    CreatedKey sub(root, path + L"\\Sub\\Deeper");
    sub->WriteString(L"", L"\\\\server\\share\\" + std::to_wstring(n));
    CreatedKey(root, path + L"\\EmptyKey");
}

std::wstring Missing(const std::wstring& name) {
    return kMissingFolder + name;
}

}  // namespace

std::wstring StaleEntryGroups() {
    const int groups[] = {kGroupAppPaths,   kGroupClsid,       kGroupHelpFiles, kGroupFonts,
                          kGroupSharedDlls, kGroupSoundEvents, kGroupUninstall};
    std::wstring text;
    for (const int group : groups) {
        text += (text.empty() ? L"" : L",") + std::to_wstring(group);
    }
    return text;
}

void MakeStaleEntries(size_t count, const std::wstring& tag) {
    const std::wstring version = L"\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
    for (size_t n = 0; n < count; ++n) {
        const std::wstring name = tag + std::to_wstring(n);
        switch (n % 7) {
            case 0: {
                const std::wstring path = version + L"\\App Paths\\" + name + L".exe";
                CreatedKey(HKEY_LOCAL_MACHINE, path)->WriteString(L"", Missing(name + L".exe"));
                AddPayload(HKEY_LOCAL_MACHINE, path, n);
                break;
            }
            case 1: {
                wchar_t clsid[40];
                swprintf(clsid, 40, L"{4B657374-0000-0000-0000-%012zX}", n);
                const std::wstring path = std::wstring(L"\\CLSID\\") + clsid + L"\\InprocServer32";
                CreatedKey(HKEY_CLASSES_ROOT, path)->WriteString(L"", Missing(name + L".dll"));
                AddPayload(HKEY_CLASSES_ROOT, path, n);
                break;
            }
            case 2:
                CreatedKey(HKEY_LOCAL_MACHINE, L"\\SOFTWARE\\Microsoft\\Windows\\Help")
                    ->WriteString(name + L".hlp", Missing(L"Help"));
                break;
            case 3:
                CreatedKey(HKEY_LOCAL_MACHINE,
                           L"\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts")
                    ->WriteString(name + L" (TrueType)", Missing(name + L".ttf"));
                break;
            case 4:
                CreatedKey(HKEY_LOCAL_MACHINE, version + L"\\SharedDlls")
                    ->WriteInteger(Missing(name + L".dll"), static_cast<int32_t>(n));
                break;
            case 5: {
                const std::wstring path =
                    L"\\AppEvents\\Schemes\\Apps\\" + name + L"\\Chime\\.Current";
                CreatedKey(HKEY_CURRENT_USER, path)->WriteString(L"", Missing(name + L".wav"));
                AddPayload(HKEY_CURRENT_USER, path, n);
                break;
            }
            default: {
                CreatedKey entry(HKEY_LOCAL_MACHINE, version + L"\\Uninstall\\" + name);
                entry->WriteString(L"DisplayName", name);
                entry->WriteString(L"UninstallString", L"\"" + Missing(name + L".exe") + L"\" /S");
                break;
            }
        }
    }
}

}  // namespace kestrova::test
