#include "scan/ignore_match.h"

namespace kestrova {

bool IgnoreListMatches(const XmlDocument& ignoreList, const std::wstring& keyName) {
    const auto lock = ignoreList.Lock();
    const XmlElement root = ignoreList.Root();
    if (!root.Valid()) {
        return false;
    }
    const size_t count = root.ChildCount();
    for (size_t i = 0; i < count; ++i) {
        const XmlElement entry = root.Child(i);
        const std::wstring composed = entry.AttributeText(L"ROOT") + L"\\" +
                                      entry.AttributeText(L"KEY") + L"\\" +
                                      entry.AttributeText(L"VALUE");
        if (composed == keyName) {
            return true;
        }
    }
    return false;
}

}  // namespace kestrova
