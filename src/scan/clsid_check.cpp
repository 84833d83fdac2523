// Group 1: COM class registrations whose server, handler or icon file is gone, in each
// registry view.
#include <array>

#include "platform/key_path.h"
#include "scan/check_walks.h"
#include "platform/registry.h"
#include "scan/registry_text.h"
#include "scan/scan_checks.h"
#include "scan/scan_groups.h"

namespace kestrova {

namespace {

// The subkeys of a class that name a file, in the order they are examined.
constexpr std::array<const wchar_t*, 8> kFileSuffixes = {
    L"\\InprocHandler", L"\\InprocHandler32",   L"\\LocalServer",  L"\\LocalServer32",
    L"\\DefaultIcon",   L"\\PersistentHandler", L"\\InprocServer", L"\\InprocServer32",
};

}  // namespace

void ScanClsid(ScanContext& scan) {
    int counter = 0;
    // 32-bit classes are registered apart, under "Wow6432Node\\CLSID".
    const std::vector<KeyPath> keys = scan.ViewsOf({HKEY_CLASSES_ROOT, L"\\CLSID"});
    WalkKeys(scan, keys, kGroupClsid, counter, [&](Registry& registry, const KeyPath& key, size_t) {
        std::vector<std::wstring> classes;
        registry.GetKeyNames(classes);
        for (const std::wstring& name : classes) {
            registry.CloseKey();
            const KeyPath classKey = key.Child(name);
            scan.SetStatus(classKey.Text());
            // Only class identifiers are judged; other names under CLSID are not classes.
            const bool isClassId = name.starts_with(L'{');
            for (const wchar_t* suffix : kFileSuffixes) {
                const KeyPath server{HKEY_CLASSES_ROOT, classKey.path + suffix};
                if (!registry.OpenKey(server.path, false)) {
                    continue;
                }
                const std::optional<std::wstring> data = ReadTextData(registry, L"");
                // Data naming another class ("{...}") is a reference, not a file.
                std::wstring guess;
                if (data && isClassId && !data->starts_with(L'{') &&
                    scan.Targets().Missing(*data, guess)) {
                    scan.ReportError(L"COM/ActiveX", server.Text(), *data, counter, guess);
                }
            }
            if (scan.StopRequested()) {
                return false;
            }
        }
        return true;
    });
}

}  // namespace kestrova
