// Group 6: shared-library reference counts for libraries that are gone. Each value's name is
// the library's full path; its data (the count) is not read.
#include "scan/scan_checks.h"
#include "scan/check_walks.h"
#include "scan/scan_groups.h"

namespace kestrova {

void ScanSharedDlls(ScanContext& scan) {
    // 32-bit programs count their libraries in a SharedDlls key of their own.
    WalkValueNames(scan,
                   scan.ViewsOf({HKEY_LOCAL_MACHINE,
                                 L"\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls"}),
                   kGroupSharedDlls,
                   [&scan](const std::wstring& name, const std::wstring& keyName, int& counter) {
                       // The Key Name ends in a full file path, so it holds further "\".
                       std::wstring guess;
                       if (scan.Targets().Missing(name, guess)) {
                           scan.ReportError(L"Shared DLLs", keyName, name, counter, guess);
                       }
                   });
}

}  // namespace kestrova
