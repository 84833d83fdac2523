#include "scan/ignore_list_index.h"

namespace kestrova {

bool IgnoreListIndex::Matches(const std::wstring& keyName) {
    {
        // The revision and the walk are taken under one lock, so a change made by another
        // thread in between cannot slip past the index.
        const auto lock = ignoreList_.Lock();
        if (revision_ != ignoreList_.Revision()) {
            Rebuild();
        }
    }
    if (names_.contains(keyName)) {
        return true;
    }
    if (brokenEntry_) {
        // Entries after the broken one were never reached by the walk.
        throw XmlError(*brokenEntry_);
    }
    return false;
}

void IgnoreListIndex::Rebuild() {
    revision_.reset();
    names_.clear();
    brokenEntry_.reset();
    const XmlElement root = ignoreList_.Root();
    if (root.Valid()) {
        const size_t count = root.ChildCount();
        for (size_t i = 0; i < count; ++i) {
            const XmlElement entry = root.Child(i);
            try {
                names_.insert(entry.AttributeText(L"ROOT") + L"\\" + entry.AttributeText(L"KEY") +
                              L"\\" + entry.AttributeText(L"VALUE"));
            } catch (const XmlError& error) {
                brokenEntry_ = error.message();
                break;
            }
        }
    }
    revision_ = ignoreList_.Revision();
}

}  // namespace kestrova
