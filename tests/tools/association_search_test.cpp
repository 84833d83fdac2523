// The File Extensions Manager's search over listed associations.
#include "tools/association_search.h"

#include <gtest/gtest.h>

#include "platform/text.h"

namespace kestrova {
namespace {

const std::vector<TExtInfo> kRows = {
    {L".zip", L"zipfile", L"ZIP Archive", L"C:\\Tools\\unzip.exe \"%1\"", L"zip.ico"},
    {L".txt", L"txtfile", L"Text Document", L"notepad.exe %1", L"C:\\TXT.ICO"},
    {L".\u00C4\u00D6", L"umlaut", L"\u00FCmlaut", L"x.exe", L""},
};

TEST(AssociationSearch, FindsTheFirstRowWhoseChosenFieldHoldsTheKeyword) {
    using Field = AssociationSearchField;
    struct Case {
        Field field;
        const wchar_t* keyword;
        std::optional<size_t> found;
    };
    const Case cases[] = {
        {Field::Extension, L"ZIP", 0},  // capitals find small letters
        {Field::Extension, L"t", 1},    // anywhere in the caption
        {Field::Extension, L".", 0},    // the first row that matches
        {Field::Description, L"archive", 0},
        {Field::Description, L"document", 1},
        {Field::Path, L"NOTEPAD", 1},
        {Field::Path, L"Archive", std::nullopt},  // only the description holds it
        {Field::Icon, L"txt.ico", 1},
        {Field::Icon, L"nothing", std::nullopt},
        // Only a to z are folded: other letters match as they are.
        {Field::Extension, L"\u00E4\u00F6", std::nullopt},
        {Field::Extension, L"\u00C4\u00D6", 2},
        {Field::Description, L"\u00DCMLAUT", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FindAssociation(kRows, c.field, c.keyword), c.found)
            << static_cast<int>(c.field) << " " << ToUtf8(c.keyword);
    }
    EXPECT_EQ(FindAssociation({}, Field::Extension, L"zip"), std::nullopt);
}

}  // namespace
}  // namespace kestrova
