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

std::vector<KeyPath> ScanContext::ViewsOf(const KeyPath& key) const {
    std::vector<KeyPath> views = {key};
    if (walk32BitView_) {
        views.push_back({key.root, Wow64PathOf(key.root, key.path)});
    }
    return views;
}

}  // namespace kestrova
