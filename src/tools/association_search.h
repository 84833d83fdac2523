#pragma once
// The File Extensions Manager's search over the associations it lists: the first row whose
// chosen field holds the keyword, letter case aside (only a to z are folded).

#include <optional>
#include <string>
#include <vector>

#include "tools/file_association_store.h"

namespace kestrova {

// The choices of "Search By:", in their order: "Extension", "Description", "Path", "Icon".
enum class AssociationSearchField { Extension, Description, Path, Icon };

// The field's text as the list shows it: the extension, description, open command or icon.
const std::wstring& AssociationFieldText(const TExtInfo& info, AssociationSearchField field);

// True when keyword occurs anywhere in text, with only the letters a to z folded to upper case.
bool ContainsKeyword(const std::wstring& text, const std::wstring& keyword);

// The index of the first row, from the first on, whose field holds keyword; nothing when no
// row does or the list is empty. An empty keyword is the caller's to refuse first.
std::optional<size_t> FindAssociation(const std::vector<TExtInfo>& rows,
                                      AssociationSearchField field, const std::wstring& keyword);

}  // namespace kestrova
