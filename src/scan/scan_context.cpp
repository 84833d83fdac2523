#include "scan/scan_context.h"

namespace kestrova {

void ScanContext::ReportError(const std::wstring& errorType, const std::wstring& keyName,
                              const std::wstring& keyValue, int& counter,
                              const std::wstring& guessPath) {
    if (ignoreList_.Matches(keyName)) {
        return;
    }
    sink_.AddRow(ErrorRow{errorType, keyName, keyValue, guessPath, true, kReportedRowImage});
    ++counter;
}

}  // namespace kestrova
