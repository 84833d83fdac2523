#include "tools/association_search.h"

#include <algorithm>

namespace kestrova {

namespace {

wchar_t FoldLetter(wchar_t c) {
    return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

}  // namespace

const std::wstring& AssociationFieldText(const TExtInfo& info, AssociationSearchField field) {
    switch (field) {
        case AssociationSearchField::Description:
            return info.description;
        case AssociationSearchField::Path:
            return info.filePath;
        case AssociationSearchField::Icon:
            return info.fileIcon;
        case AssociationSearchField::Extension:
            break;
    }
    return info.extension;
}

bool ContainsKeyword(const std::wstring& text, const std::wstring& keyword) {
    return std::search(text.begin(), text.end(), keyword.begin(), keyword.end(),
                       [](wchar_t a, wchar_t b) { return FoldLetter(a) == FoldLetter(b); }) !=
               text.end() ||
           keyword.empty();
}

std::optional<size_t> FindAssociation(const std::vector<TExtInfo>& rows,
                                      AssociationSearchField field, const std::wstring& keyword) {
    for (size_t i = 0; i < rows.size(); ++i) {
        if (ContainsKeyword(AssociationFieldText(rows[i], field), keyword)) {
            return i;
        }
    }
    return std::nullopt;
}

}  // namespace kestrova
