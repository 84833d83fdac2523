#include "scan/scan_context.h"

#include "scan/ignore_match.h"

namespace kestrova {

void ScanContext::ReportError(const std::wstring& errorType, const std::wstring& keyName,
                              const std::wstring& keyValue, int& counter,
                              const std::wstring& guessPath) {
    if (IgnoreListMatches(ignoreList_, keyName)) {
        return;
    }
    sink_.AddRow(ErrorRow{errorType, keyName, keyValue, guessPath, true, kReportedRowImage});
    ++counter;
}

}  // namespace kestrova
