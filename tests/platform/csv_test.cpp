#include "platform/csv.h"

#include <gtest/gtest.h>

namespace kestrova {
namespace {

TEST(CsvTest, FieldsAreQuotedOnlyWhenTheyMustBe) {
    struct Case {
        std::vector<std::wstring> fields;
        std::string record;
    };
    const Case cases[] = {
        {{L"Run", L"C:\\a.exe"}, "Run,C:\\a.exe\r\n"},
        {{L"", L""}, ",\r\n"},
        {{L"a,b"}, "\"a,b\"\r\n"},
        {{L"say \"hi\""}, "\"say \"\"hi\"\"\"\r\n"},
        {{L"two\r\nlines", L"x"}, "\"two\r\nlines\",x\r\n"},
        {{L" padded"}, "\" padded\"\r\n"},
        {{L"\u00e9t\u00e9 \u65e5"}, "\xC3\xA9t\xC3\xA9 \xE6\x97\xA5\r\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CsvRecord(c.fields), c.record);
    }
}

TEST(CsvTest, ADocumentStartsWithTheUtf8MarkAndTheHeader) {
    EXPECT_EQ(CsvDocument({L"Name", L"Path"}, {{L"a", L"b"}, {L"c", L"d,e"}}),
              "\xEF\xBB\xBFName,Path\r\na,b\r\nc,\"d,e\"\r\n");
}

}  // namespace
}  // namespace kestrova
