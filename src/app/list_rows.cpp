#include "app/list_rows.h"

#include "scan/scan_groups.h"

namespace kestrova {

void FillScanGroupRows(TextRows& rows) {
    ListModel::Batch batch(rows);
    rows.Clear();
    for (std::wstring_view caption : kScanGroupCaptions) {
        rows.Add(TextRow{{std::wstring(caption), L"0"}, true, 0});
    }
}

void FillIgnoreRows(const XmlDocument& ignoreList, TextRows& rows) {
    ListModel::Batch batch(rows);
    rows.Clear();
    // The scan's worker reads the same document: one lock for the whole walk.
    const auto lock = ignoreList.Lock();
    const XmlElement root = ignoreList.Root();
    const size_t count = root.ChildCount();
    for (size_t i = 0; i < count; ++i) {
        const XmlElement entry = root.Child(i);
        TextRow row;
        row.cells.push_back(entry.AttributeText(L"ROOT"));
        row.cells.push_back(entry.AttributeText(L"KEY"));
        row.cells.push_back(entry.AttributeText(L"VALUE"));
        rows.Add(std::move(row));
    }
}

void FillIeActionRows(TextRows& rows) {
    struct Action {
        const wchar_t* action;
        const wchar_t* restart;
        const wchar_t* description;
        bool checked;
    };
    static const Action kActions[] = {
        {L"Clear the Internet Explorer Typed Address History", L"Yes",
         L"Internet Explorer caches any URLs that are typed into the address bar. This may "
         L"become a privacy issue on a shared computer, or a nuisance if there is a particular "
         L"URL you want to remove without clearing the whole history.",
         false},
        {L"Reverse Auto Complete Mode", L"Yes",
         L"This setting controls whether the automatic text completion (AutoComplete) feature "
         L"of Windows Explorer appends the suggested text to the words as you are typing as "
         L"well as showing a drop-down list of available values.",
         false},
        {L"Cache", L"No", L"Cleanup cache file on your system", true},
        {L"Cookies", L"No", L"Manage cookies on your system", false},
        {L"Downloaded files", L"No", L"Cleanup downloaded files when you use the Internet Explorer",
         true},
        {L"Favorites list", L"Yes", L"Favourites list", false},
        {L"History of visited URLs", L"Yes", L"History of Visited URLs", true},
    };
    ListModel::Batch batch(rows);
    rows.Clear();
    for (const Action& a : kActions) {
        rows.Add(TextRow{{a.action, a.restart, a.description}, a.checked, -1});
    }
}

}  // namespace kestrova
