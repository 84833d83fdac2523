// Group 1: COM class registrations whose server, handler or icon file is gone.
#include <array>

#include "platform/registry.h"
#include "scan/registry_text.h"
#include "scan/scan_checks.h"
#include "scan/scan_groups.h"
#include "scan/target_missing.h"

namespace kestrova {

namespace {

// The subkeys of a class that name a file, in the order they are examined.
constexpr std::array<const wchar_t*, 8> kFileSuffixes = {
    L"\\InprocHandler", L"\\InprocHandler32",   L"\\LocalServer",  L"\\LocalServer32",
    L"\\DefaultIcon",   L"\\PersistentHandler", L"\\InprocServer", L"\\InprocServer32",
};

}  // namespace

void ScanClsid(ScanContext& scan) {
    const std::wstring key = L"\\CLSID";
    Registry registry(HKEY_CLASSES_ROOT);
    if (!registry.OpenKey(key, false)) {
        return;
    }
    std::vector<std::wstring> classes;
    registry.GetKeyNames(classes);
    int counter = 0;
    for (const std::wstring& name : classes) {
        registry.CloseKey();
        scan.SetStatus(L"HKEY_CLASSES_ROOT" + key + L"\\" + name);
        // Only class identifiers are judged; other names under CLSID are not classes.
        const bool isClassId = name.starts_with(L'{');
        for (const wchar_t* suffix : kFileSuffixes) {
            const std::wstring path = key + L"\\" + name + suffix;
            if (!registry.OpenKey(path, false)) {
                continue;
            }
            const std::optional<std::wstring> data = ReadTextData(registry, L"");
            // Data naming another class ("{...}") is a reference, not a file.
            std::wstring guess;
            if (data && isClassId && !data->starts_with(L'{') && TargetMissing(*data, guess)) {
                scan.ReportError(L"COM/ActiveX", L"HKEY_CLASSES_ROOT" + path, *data, counter,
                                 guess);
            }
        }
        if (scan.StopRequested()) {
            return;
        }
    }
    scan.WriteCounter(kGroupClsid, counter);
}

}  // namespace kestrova
