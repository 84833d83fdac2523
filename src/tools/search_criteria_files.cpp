#include "tools/search_criteria_files.h"

#include <array>
#include <utility>

namespace kestrova {

namespace {

constexpr std::array<std::pair<FileAttribute, DWORD>, 5> kAttributeBits = {{
    {FileAttribute::Archive, FILE_ATTRIBUTE_ARCHIVE},
    {FileAttribute::Readonly, FILE_ATTRIBUTE_READONLY},
    {FileAttribute::Hidden, FILE_ATTRIBUTE_HIDDEN},
    {FileAttribute::System, FILE_ATTRIBUTE_SYSTEM},
    {FileAttribute::Directory, FILE_ATTRIBUTE_DIRECTORY},
}};

}  // namespace

FileAttributes::FileAttributes(std::initializer_list<FileAttribute> attributes) {
    for (const FileAttribute attribute : attributes) {
        Add(attribute);
    }
}

FileAttributes AttributeCriteria::Attributes() const {
    FileAttributes attributes;
    for (const auto& [attribute, bit] : kAttributeBits) {
        if (bits_ & bit) {
            attributes.Add(attribute);
        }
    }
    return attributes;
}

void AttributeCriteria::SetAttributes(const FileAttributes& attributes) {
    bits_ = 0;
    for (const auto& [attribute, bit] : kAttributeBits) {
        if (attributes.Has(attribute)) {
            bits_ |= bit;
        }
    }
}

bool AttributeCriteria::Matches(DWORD entryAttributes) const {
    const DWORD tested = entryAttributes & kTestedBits;
    return exactMatch ? tested == bits_ : (tested & ~bits_) == 0;
}

}  // namespace kestrova
