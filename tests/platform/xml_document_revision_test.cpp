// XmlDocument::Revision: rises with every change made through the document or its elements,
// and stays put for reads, so a reader can keep what it worked out until the next change.
#include <cstdint>
#include <functional>
#include <string>

#include "platform/xml_document.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace kestrova {
namespace {

using test::TempFolder;
using test::WriteFileBytes;

TEST(XmlDocumentRevisionTest, RisesWithEveryChangeAndNotWithReads) {
    TempFolder temp;
    const std::wstring saved = temp / L"saved.xml";
    const std::wstring other = temp / L"other.xml";
    WriteFileBytes(other, "<?xml version=\"1.0\"?><IgnoreList><ERROR ROOT=\"R\"/></IgnoreList>");

    XmlDocument document;
    // Kept across the steps, as callers keep element handles across changes.
    XmlElement root;
    XmlElement first;
    struct Case {
        const char* what;
        std::function<void()> action;
        bool rises;
    } cases[] = {
        {"Create", [&] { document.Create(L"IgnoreList"); }, true},
        {"AppendChild", [&] { document.Root().AppendChild(L"ERROR"); }, true},
        {"SetAttribute, new", [&] { first.SetAttribute(L"ROOT", L"HKEY_CURRENT_USER"); }, true},
        {"SetAttribute, replaced", [&] { first.SetAttribute(L"ROOT", L"HKEY_USERS"); }, true},
        {"SetAttribute, same text", [&] { first.SetAttribute(L"ROOT", L"HKEY_USERS"); }, true},
        {"SetAttribute, empty text", [&] { first.SetAttribute(L"KEY", L""); }, true},
        {"AppendChild to a child", [&] { first.AppendChild(L"ITEM"); }, true},
        {"DeleteChild of a child", [&] { first.DeleteChild(0); }, true},
        {"AppendChild, second", [&] { root.AppendChild(L"ERROR"); }, true},
        {"DeleteChild", [&] { root.DeleteChild(1); }, true},
        {"Root", [&] { document.Root(); }, false},
        {"Tag", [&] { first.Tag(); }, false},
        {"ChildCount", [&] { root.ChildCount(); }, false},
        {"Child", [&] { root.Child(0); }, false},
        {"Attribute", [&] { first.Attribute(L"ROOT"); }, false},
        {"AttributeText", [&] { first.AttributeText(L"ROOT"); }, false},
        {"AttributeCount", [&] { first.AttributeCount(); }, false},
        {"Save", [&] { document.Save(saved); }, false},
        {"Lock", [&] { document.Lock(); }, false},
        {"DeleteAllChildren", [&] { root.DeleteAllChildren(); }, true},
        {"Load", [&] { document.Load(other); }, true},
        {"SetAttribute after Load", [&] { document.Root().Child(0).SetAttribute(L"KEY", L"K"); },
         true},
        {"Load of the saved file", [&] { document.Load(saved); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const uint64_t before = document.Revision();
        c.action();
        const uint64_t after = document.Revision();
        if (c.rises) {
            EXPECT_GT(after, before);
        } else {
            EXPECT_EQ(after, before);
        }
        root = document.Root();
        if (root.Valid() && root.ChildCount() > 0 && !first.Valid()) {
            first = root.Child(0);
        }
    }
}

}  // namespace
}  // namespace kestrova
