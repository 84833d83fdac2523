// The ignore-list filter of ScanContext::ReportError: its cached entries follow every change
// made to the document between two reports, and it answers as a walk of the entries in
// document order would, a broken entry included.
#include "scan/ignore_list_index.h"

#include <functional>
#include <ostream>
#include <optional>
#include <string>
#include <vector>

#include "scan/ignore_match.h"
#include "scan_test_fixture.h"

namespace kestrova {
namespace {

using test::ScanTest;
using test::WriteFileBytes;

const std::wstring kKeyName = L"HKEY_CURRENT_USER\\Software\\Vendor\\App\\file.dll";

// What became of a report.
enum class Outcome { Reported, Suppressed, Throws };

void PrintTo(Outcome outcome, std::ostream* out) {
    static const char* const names[] = {"reported", "suppressed", "throws"};
    *out << names[static_cast<int>(outcome)];
}

class IgnoreListIndexTest : public ScanTest {
protected:
    // Reports keyName through the context and checks that a row and a count were added
    // together or not at all.
    Outcome Report(ScanContext& scan, const std::wstring& keyName) {
        const size_t rows = sink_.rows.size();
        const int before = counter_;
        try {
            scan.ReportError(L"Invalid shared DLL", keyName, L"1", counter_, L"file.dll");
        } catch (const XmlError&) {
            EXPECT_EQ(sink_.rows.size(), rows);
            EXPECT_EQ(counter_, before);
            return Outcome::Throws;
        }
        const bool added = sink_.rows.size() == rows + 1;
        EXPECT_EQ(counter_, before + (added ? 1 : 0));
        return added ? Outcome::Reported : Outcome::Suppressed;
    }

    static XmlElement AddEntry(XmlDocument& document, std::optional<std::wstring> root,
                               std::optional<std::wstring> key, std::optional<std::wstring> value) {
        XmlElement entry = document.Root().AppendChild(L"ERROR");
        if (root) {
            entry.SetAttribute(L"ROOT", *root);
        }
        if (key) {
            entry.SetAttribute(L"KEY", *key);
        }
        if (value) {
            entry.SetAttribute(L"VALUE", *value);
        }
        return entry;
    }

    static XmlElement AddEntry(XmlDocument& document) {
        return AddEntry(document, L"HKEY_CURRENT_USER", L"Software\\Vendor\\App", L"file.dll");
    }

    int counter_ = 0;
};

TEST_F(IgnoreListIndexTest, ChangesBetweenTwoReportsAreSeen) {
    XmlDocument list;  // no root yet: no entries
    ScanContext scan(sink_, list);
    const std::wstring file = temp_ / L"ignore.xml";
    struct Step {
        const char* change;
        std::function<void()> apply;
        Outcome outcome;
    } steps[] = {
        {"document without a root", [] {}, Outcome::Reported},
        {"created with its root", [&] { list.Create(L"IgnoreList"); }, Outcome::Reported},
        {"entry appended", [&] { AddEntry(list); }, Outcome::Suppressed},
        {"its VALUE edited", [&] { list.Root().Child(0).SetAttribute(L"VALUE", L"FILE.DLL"); },
         Outcome::Reported},
        {"its VALUE edited back", [&] { list.Root().Child(0).SetAttribute(L"VALUE", L"file.dll"); },
         Outcome::Suppressed},
        {"its ROOT edited",
         [&] { list.Root().Child(0).SetAttribute(L"ROOT", L"HKEY_LOCAL_MACHINE"); },
         Outcome::Reported},
        {"an equal entry appended", [&] { AddEntry(list); }, Outcome::Suppressed},
        {"that entry deleted", [&] { list.Root().DeleteChild(1); }, Outcome::Reported},
        {"its ROOT edited back",
         [&] {
             XmlElement entry = list.Root().Child(0);
             entry.SetAttribute(L"ROOT", L"HKEY_CURRENT_USER");
         },
         Outcome::Suppressed},
        {"every entry deleted", [&] { list.Root().DeleteAllChildren(); }, Outcome::Reported},
        {"a saved list with the entry loaded",
         [&] {
             WriteFileBytes(file,
                            "<?xml version=\"1.0\"?><IgnoreList><ERROR ROOT=\"HKEY_CURRENT_USER\" "
                            "KEY=\"Software\\Vendor\\App\" VALUE=\"file.dll\"/></IgnoreList>");
             list.Load(file);
         },
         Outcome::Suppressed},
        {"created afresh", [&] { list.Create(L"IgnoreList"); }, Outcome::Reported},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.change);
        step.apply();
        // Twice: the second answer comes from the index as the first one left it.
        EXPECT_EQ(Report(scan, kKeyName), step.outcome);
        EXPECT_EQ(Report(scan, kKeyName), step.outcome);
    }
}

// Entries are looked at in document order and the first equal one ends the walk, so a broken
// entry (one lacking an attribute) only fails the names that no entry before it matched.
TEST_F(IgnoreListIndexTest, BrokenEntryFailsOnlyNamesNotMatchedBeforeIt) {
    const std::wstring a = L"HKEY_CURRENT_USER\\Software\\A\\v";
    const std::wstring b = L"HKEY_CURRENT_USER\\Software\\B\\w";
    const std::wstring other = L"HKEY_CURRENT_USER\\Software\\C\\x";
    enum Entry { A, B, NoRoot, NoKey, NoValue };
    struct Case {
        const char* what;
        std::vector<Entry> entries;
        std::wstring keyName;
        Outcome outcome;
    } cases[] = {
        {"match before the broken entry", {A, NoKey, B}, a, Outcome::Suppressed},
        {"match after the broken entry", {A, NoKey, B}, b, Outcome::Throws},
        {"no match with a broken entry", {A, NoKey, B}, other, Outcome::Throws},
        {"broken entry first", {NoValue, A}, a, Outcome::Throws},
        {"entry without ROOT", {NoRoot}, other, Outcome::Throws},
        {"two broken entries, match before both", {B, NoRoot, NoValue}, b, Outcome::Suppressed},
        {"no broken entry, no match", {A, B}, other, Outcome::Reported},
        {"no broken entry, last matches", {A, B}, b, Outcome::Suppressed},
        {"other letter case", {A, NoKey}, L"HKEY_CURRENT_USER\\Software\\A\\V", Outcome::Throws},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ignore_.Create(L"IgnoreList");
        for (const Entry entry : c.entries) {
            switch (entry) {
                case A:
                    AddEntry(ignore_, L"HKEY_CURRENT_USER", L"Software\\A", L"v");
                    break;
                case B:
                    AddEntry(ignore_, L"HKEY_CURRENT_USER", L"Software\\B", L"w");
                    break;
                case NoRoot:
                    AddEntry(ignore_, std::nullopt, L"Software\\C", L"x");
                    break;
                case NoKey:
                    AddEntry(ignore_, L"HKEY_CURRENT_USER", std::nullopt, L"x");
                    break;
                case NoValue:
                    AddEntry(ignore_, L"HKEY_CURRENT_USER", L"Software\\C", std::nullopt);
                    break;
            }
        }
        ScanContext scan(sink_, ignore_);
        EXPECT_EQ(Report(scan, c.keyName), c.outcome);
        // The one-off lookup answers the same way.
        const Outcome once = [&] {
            try {
                return IgnoreListMatches(ignore_, c.keyName) ? Outcome::Suppressed
                                                             : Outcome::Reported;
            } catch (const XmlError&) {
                return Outcome::Throws;
            }
        }();
        EXPECT_EQ(once, c.outcome);
    }
}

TEST_F(IgnoreListIndexTest, BrokenEntryNamesTheMissingAttributeAndMendingItIsSeen) {
    AddEntry(ignore_, L"HKEY_CURRENT_USER", L"Software\\A", L"v");
    XmlElement broken = AddEntry(ignore_, L"HKEY_CURRENT_USER", std::nullopt, L"file.dll");
    IgnoreListIndex index(ignore_);

    try {
        index.Matches(kKeyName);
        ADD_FAILURE() << "no XmlError thrown";
    } catch (const XmlError& error) {
        // The same text as the element's own lookup gives.
        EXPECT_EQ(error.message(), L"The element \"ERROR\" has no attribute \"KEY\"");
    }
    EXPECT_TRUE(index.Matches(L"HKEY_CURRENT_USER\\Software\\A\\v"));

    broken.SetAttribute(L"KEY", L"Software\\Vendor\\App");
    EXPECT_TRUE(index.Matches(kKeyName));
    EXPECT_FALSE(index.Matches(L"HKEY_CURRENT_USER\\Software\\A\\w"));
}

}  // namespace
}  // namespace kestrova
