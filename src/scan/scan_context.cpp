#include "scan/scan_context.h"

#include "platform/registry.h"

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

namespace {

// Whether both paths open one and the same key: since Windows 7 the 32-bit view shares some
// keys with the 64-bit one (App Paths among them), and its "Wow6432Node" path may then be a
// link to the 64-bit key, whose entries must not be reported twice.
bool SameKey(const KeyPath& a, const KeyPath& b) {
    Registry first(a.root);
    Registry second(b.root);
    if (!first.OpenKeyReadOnly(a.path) || !second.OpenKeyReadOnly(b.path)) {
        return false;
    }
    const std::wstring name = first.OpenKeyObjectName();
    const std::wstring other = second.OpenKeyObjectName();
    return !name.empty() &&
           CompareStringOrdinal(name.c_str(), static_cast<int>(name.size()), other.c_str(),
                                static_cast<int>(other.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace

std::vector<KeyPath> ScanContext::ViewsOf(const KeyPath& key) const {
    std::vector<KeyPath> views = {key};
    if (walk32BitView_) {
        const KeyPath wow64{key.root, Wow64PathOf(key.root, key.path)};
        if (!SameKey(key, wow64)) {
            views.push_back(wow64);
        }
    }
    return views;
}

}  // namespace kestrova
