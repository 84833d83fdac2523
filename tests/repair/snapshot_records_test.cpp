// Recording registry values and key trees into the restore history, the text they take in
// Backup.xml, and writing them back from the saved file.
#include "repair/snapshot_records.h"

#include <string>
#include <vector>

#include "platform/text.h"
#include "repair/value_encoding.h"
#include "repair_test_support.h"
#include "support/registry_link.h"
#include "support/sandbox_test.h"
#include "support/temp_folder.h"

namespace kestrova {
namespace {

using test::GetValue;
using test::KeyPresent;
using test::PutKey;
using test::PutValue;
using test::RawOf;
using test::Utf16Bytes;

std::vector<BYTE> Counting(size_t count) {
    std::vector<BYTE> bytes(count);
    for (size_t i = 0; i < count; ++i) {
        bytes[i] = static_cast<BYTE>(i);
    }
    return bytes;
}

struct ValueCase {
    const char* label;
    std::wstring name;
    RawValue raw;
    std::wstring type;      // TYPE as stored
    std::wstring value;     // VALUE as stored
    std::wstring regType;   // REGTYPE as stored, empty when the attribute must be absent
    bool plainText = true;  // the file holds the attributes without character references
};

std::vector<ValueCase> ValueCases() {
    const std::wstring bytes26 =
        L"00,01,02,03,04,05,06,07,08,09,0A,0B,0C,0D,0E,0F,10,11,12,13,14,15,16,17,18,19";
    const std::wstring bytes30 = bytes26 + L",\\1A,1B,1C,1D";
    const std::wstring bytes60 =
        bytes26 +
        L",\\1A,1B,1C,1D,1E,1F,20,21,22,23,24,25,26,27,28,29,2A,2B,2C,2D,2E,2F,30,31,32,"
        L"\\33,34,35,36,37,38,39,3A,3B";
    std::vector<BYTE> qword = {0xEF, 0xCD, 0xAB, 0x89, 0x67, 0x45, 0x23, 0x01};
    return {
        {"path", L"Path", RawOf(REG_SZ, Utf16Bytes(L"C:\\Program Files\\App\\app.exe")),
         L"rdString", L"C:\\\\Program Files\\\\App\\\\app.exe", L""},
        {"network path", L"Share", RawOf(REG_SZ, Utf16Bytes(L"\\\\server\\share")), L"rdString",
         L"\\\\\\\\server\\\\share", L""},
        {"empty text", L"Empty", RawOf(REG_SZ, Utf16Bytes(L"")), L"rdString", L"", L""},
        {"default value", L"", RawOf(REG_SZ, Utf16Bytes(L"Class name")), L"rdString", L"Class name",
         L""},
        {"non-ASCII", L"Gr\u00F6\u00DFe \u65E5\u672C \u2713",
         RawOf(REG_SZ, Utf16Bytes(L"Z\u00FCrich\\\u65E5\u672C")), L"rdString",
         L"Z\u00FCrich\\\\\u65E5\u672C", L""},
        {"expandable", L"Expand", RawOf(REG_EXPAND_SZ, Utf16Bytes(L"%SystemRoot%\\x.dll")),
         L"rdString", L"%SystemRoot%\\\\x.dll", L"2"},
        {"markup", L"Markup", RawOf(REG_SZ, Utf16Bytes(L"two & <three> \"4\"")), L"rdString",
         L"two & <three> \"4\"", L"", false},
        // An attribute may give tab, CR and LF back as blanks: such text is kept as bytes.
        {"line breaks", L"Lines", RawOf(REG_SZ, Utf16Bytes(L"a\r\n\tb")), L"rdBinary",
         L"61,00,0D,00,0A,00,09,00,62,00,00,00", L"1"},
        {"tab, expandable", L"Tab", RawOf(REG_EXPAND_SZ, Utf16Bytes(L"%x%\t")), L"rdBinary",
         L"25,00,78,00,25,00,09,00,00,00", L"2"},
        {"dword 0", L"Zero", RawOf(REG_DWORD, {0, 0, 0, 0}), L"rdInteger", L"00000000", L""},
        {"dword 16", L"Sixteen", RawOf(REG_DWORD, {16, 0, 0, 0}), L"rdInteger", L"00000010", L""},
        {"dword all bits", L"Max", RawOf(REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF}), L"rdInteger",
         L"FFFFFFFF", L""},
        {"binary 0", L"Bin0", RawOf(REG_BINARY, {}), L"rdBinary", L"", L""},
        {"binary 25", L"Bin25", RawOf(REG_BINARY, Counting(25)), L"rdBinary", bytes26.substr(0, 74),
         L""},
        {"binary 26", L"Bin26", RawOf(REG_BINARY, Counting(26)), L"rdBinary", bytes26, L""},
        {"binary 30", L"Bin30", RawOf(REG_BINARY, Counting(30)), L"rdBinary", bytes30, L""},
        {"binary 60", L"Bin60", RawOf(REG_BINARY, Counting(60)), L"rdBinary", bytes60, L""},
        {"multi string", L"Multi", RawOf(REG_MULTI_SZ, Utf16Bytes(std::wstring(L"a\0b\0", 4))),
         L"rdBinary", L"61,00,00,00,62,00,00,00,00,00", L"7"},
        {"qword", L"Quad", RawOf(REG_QWORD, qword), L"rdBinary", L"EF,CD,AB,89,67,45,23,01", L"11"},
        {"none, empty", L"None", RawOf(REG_NONE, {}), L"rdBinary", L"", L"0"},
        {"none with bytes", L"NoneData", RawOf(REG_NONE, {1, 2}), L"rdBinary", L"01,02", L"0"},
        {"own type number", L"Custom", RawOf(0x12345, {0xAB}), L"rdBinary", L"AB", L"74565"},
        {"big-endian dword", L"Big", RawOf(REG_DWORD_BIG_ENDIAN, {0, 0, 0, 1}), L"rdBinary",
         L"00,00,00,01", L"5"},
        {"dword of 2 bytes", L"Short", RawOf(REG_DWORD, {1, 2}), L"rdBinary", L"01,02", L"4"},
        {"text without NUL", L"NoNul", RawOf(REG_SZ, Utf16Bytes(L"AB", false)), L"rdBinary",
         L"41,00,42,00", L"1"},
        {"text of one byte", L"OneByte", RawOf(REG_SZ, {0x41}), L"rdBinary", L"41", L"1"},
        {"text of no byte", L"NoByte", RawOf(REG_SZ, {}), L"rdBinary", L"", L"1"},
        {"text with inner NUL", L"InnerNul", RawOf(REG_SZ, Utf16Bytes(std::wstring(L"a\0b", 3))),
         L"rdBinary", L"61,00,00,00,62,00,00,00", L"1"},
        {"text with control character", L"Control", RawOf(REG_SZ, Utf16Bytes(L"a\x01")),
         L"rdBinary", L"61,00,01,00,00,00", L"1"},
        {"expandable without NUL", L"ExpandNoNul", RawOf(REG_EXPAND_SZ, Utf16Bytes(L"%x%", false)),
         L"rdBinary", L"25,00,78,00,25,00", L"2"},
    };
}

class SnapshotRecordsTest : public test::SandboxTest {
protected:
    SnapshotRecordsTest() { history_.Create(kHistoryRootTag); }

    XmlElement NewEntry() {
        return AppendHistoryEntry(history_.Root(), L"Test", L"key name", L"guess path");
    }

    // Saves the history and loads it back into a new document, as the next run would.
    void SaveAndReload(XmlDocument& loaded) {
        history_.Save(temp_ / L"Backup.xml");
        loaded.Load(temp_ / L"Backup.xml");
    }

    static void WriteBackAll(const XmlElement& entry) {
        for (size_t i = 0; i < entry.ChildCount(); ++i) {
            WriteBackItem(entry.Child(i));
        }
    }

    XmlDocument history_;
};

TEST_F(SnapshotRecordsTest, EveryTypeAndSizeIsStoredAsItsTextAndComesBackExactly) {
    const std::vector<ValueCase> cases = ValueCases();
    for (const ValueCase& c : cases) {
        PutValue(HKEY_CURRENT_USER, L"\\Software\\Src", c.name, c.raw);
    }
    XmlElement entry = NewEntry();
    ASSERT_TRUE(RecordKeyTree(entry, HKEY_CURRENT_USER, L"\\Software\\Src"));
    ASSERT_EQ(entry.ChildCount(), cases.size());  // no bare-key record: the key has values

    XmlDocument loaded;
    SaveAndReload(loaded);
    const std::string file = test::ReadFileBytes(temp_ / L"Backup.xml");
    const XmlElement stored = loaded.Root().Child(0);
    for (const ValueCase& c : cases) {
        SCOPED_TRACE(c.label);
        size_t found = 0;
        for (; found < stored.ChildCount(); ++found) {
            if (stored.Child(found).AttributeText(L"NAME") == c.name) {
                break;
            }
        }
        ASSERT_LT(found, stored.ChildCount());
        const XmlElement item = stored.Child(found);
        EXPECT_EQ(item.AttributeText(L"SUBKEY"), L"HKEY_CURRENT_USER\\Software\\Src");
        EXPECT_EQ(item.AttributeText(L"TYPE"), c.type);
        EXPECT_EQ(item.AttributeText(L"VALUE"), c.value);
        EXPECT_EQ(item.Attribute(L"REGTYPE").value_or(L""), c.regType);
        EXPECT_EQ(item.AttributeCount(), c.regType.empty() ? 4u : 5u);
        if (c.plainText) {
            // The attributes in their order, the extra type number last.
            std::wstring text = L"<ITEM SUBKEY=\"HKEY_CURRENT_USER\\Software\\Src\" NAME=\"" +
                                c.name + L"\" TYPE=\"" + c.type + L"\" VALUE=\"" + c.value + L"\"";
            if (!c.regType.empty()) {
                text += L" REGTYPE=\"" + c.regType + L"\"";
            }
            EXPECT_NE(file.find(ToUtf8(text + L"/>")), std::string::npos) << ToUtf8(text);
        }
    }

    ASSERT_TRUE(Registry(HKEY_CURRENT_USER).DeleteKey(L"\\Software\\Src"));
    WriteBackAll(stored);

    Registry restored(HKEY_CURRENT_USER);
    ASSERT_TRUE(restored.OpenKeyReadOnly(L"\\Software\\Src"));
    std::vector<std::wstring> names;
    restored.GetValueNames(names);
    EXPECT_EQ(names.size(), cases.size());
    for (const ValueCase& c : cases) {
        SCOPED_TRACE(c.label);
        RawValue back;
        ASSERT_TRUE(restored.ReadRaw(c.name, back));
        EXPECT_EQ(back.type, c.raw.type);
        EXPECT_EQ(back.data, c.raw.data);
    }
}

TEST_F(SnapshotRecordsTest, AKeyTreeIsRecordedValuesFirstDepthFirstWithItsEmptyKeys) {
    PutValue(HKEY_CURRENT_USER, L"\\Software\\Tree", L"", RawOf(REG_SZ, Utf16Bytes(L"top")));
    PutValue(HKEY_CURRENT_USER, L"\\Software\\Tree", L"n", RawOf(REG_DWORD, {7, 0, 0, 0}));
    PutKey(HKEY_CURRENT_USER, L"\\Software\\Tree\\A");  // no values, one subkey with values
    PutValue(HKEY_CURRENT_USER, L"\\Software\\Tree\\A\\B", L"v", RawOf(REG_BINARY, {1}));
    PutKey(HKEY_CURRENT_USER, L"\\Software\\Tree\\Empty\\Deeper");
    const test::RegistryDump before = test::DumpRegistry();

    XmlElement entry = NewEntry();
    ASSERT_TRUE(RecordRegistryEntry(entry, HKEY_CURRENT_USER, L"\\Software\\Tree", L""));

    const std::wstring tree = L"HKEY_CURRENT_USER\\Software\\Tree";
    const std::vector<std::pair<std::wstring, std::wstring>> expected = {
        {tree, L""},
        {tree, L"n"},
        {tree + L"\\A", L"(key)"},
        {tree + L"\\A\\B", L"v"},
        {tree + L"\\Empty", L"(key)"},
        {tree + L"\\Empty\\Deeper", L"(key)"},
    };
    ASSERT_EQ(entry.ChildCount(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const XmlElement item = entry.Child(i);
        EXPECT_EQ(item.Tag(), L"ITEM");
        EXPECT_EQ(item.AttributeText(L"SUBKEY"), expected[i].first) << i;
        if (expected[i].second == L"(key)") {
            EXPECT_EQ(item.AttributeCount(), 1u) << i;
        } else {
            EXPECT_EQ(item.AttributeText(L"NAME"), expected[i].second) << i;
        }
    }

    XmlDocument loaded;
    SaveAndReload(loaded);
    ASSERT_TRUE(Registry(HKEY_CURRENT_USER).DeleteKey(L"\\Software\\Tree"));
    WriteBackAll(loaded.Root().Child(0));
    const test::RegistryDump after = test::DumpRegistry();
    EXPECT_TRUE(after == before) << test::DescribeDifferences(before, after);
}

TEST_F(SnapshotRecordsTest, WhatIsNotThereYieldsNoRecord) {
    PutValue(HKEY_CURRENT_USER, L"\\Software\\Here", L"other", RawOf(REG_SZ, Utf16Bytes(L"x")));

    XmlElement missingKey = NewEntry();
    EXPECT_TRUE(RecordRegistryEntry(missingKey, HKEY_CURRENT_USER, L"\\Software\\Gone", L""));
    XmlElement missingValue = NewEntry();
    EXPECT_TRUE(RecordRegistryEntry(missingValue, HKEY_CURRENT_USER, L"\\Software\\Here", L"v"));
    XmlElement valueOfMissingKey = NewEntry();
    EXPECT_TRUE(
        RecordRegistryEntry(valueOfMissingKey, HKEY_CURRENT_USER, L"\\Software\\Gone", L"v"));

    // The entries themselves stay, without records: restoring them must not invent a value.
    EXPECT_EQ(history_.Root().ChildCount(), 3u);
    EXPECT_EQ(missingKey.ChildCount(), 0u);
    EXPECT_EQ(missingValue.ChildCount(), 0u);
    EXPECT_EQ(valueOfMissingKey.ChildCount(), 0u);
}

TEST_F(SnapshotRecordsTest, NamesTheFileCannotHoldAreReportedNotWritten) {
    // A control character in an attribute would make Backup.xml unreadable at the next start.
    PutValue(HKEY_CURRENT_USER, L"\\Software\\Odd", L"bad\x01name", RawOf(REG_SZ, Utf16Bytes(L"")));
    PutValue(HKEY_CURRENT_USER, L"\\Software\\Odd", L"fine", RawOf(REG_SZ, Utf16Bytes(L"x")));
    PutKey(HKEY_CURRENT_USER, L"\\Software\\OddKey\\sub\x02key");

    XmlElement value = NewEntry();
    EXPECT_FALSE(RecordRegistryEntry(value, HKEY_CURRENT_USER, L"\\Software\\Odd", L"bad\x01name"));
    EXPECT_EQ(value.ChildCount(), 0u);
    XmlElement tree = NewEntry();
    EXPECT_FALSE(RecordKeyTree(tree, HKEY_CURRENT_USER, L"\\Software\\Odd"));
    XmlElement keyTree = NewEntry();
    EXPECT_FALSE(RecordKeyTree(keyTree, HKEY_CURRENT_USER, L"\\Software\\OddKey"));

    // The labels are only shown: they are made safe, and the file loads again.
    AppendHistoryEntry(history_.Root(), L"Font File", L"HKEY_CURRENT_USER\\x\\bad\x01name",
                       L"c:\\a\x02.ttf");
    XmlDocument loaded;
    SaveAndReload(loaded);
    const XmlElement label = loaded.Root().Child(loaded.Root().ChildCount() - 1);
    EXPECT_EQ(label.AttributeText(L"TYPE"), L"HKEY_CURRENT_USER\\x\\bad\uFFFDname");
    EXPECT_EQ(label.AttributeText(L"PATH"), L"c:\\a\uFFFD.ttf");
}

TEST_F(SnapshotRecordsTest, TabsAndLineBreaksInNamesAreNotRecorded) {
    // What a parser does with them when a writer leaves them bare in an attribute.
    test::WriteFileBytes(temp_ / L"bare.xml", "<r a=\"x\ty\r\nz\"/>");
    XmlDocument bare;
    bare.Load(temp_ / L"bare.xml");
    EXPECT_EQ(bare.Root().AttributeText(L"a"), L"x y z");

    for (const std::wstring odd : {L"tab\there", L"line\nbreak", L"carriage\rreturn"}) {
        SCOPED_TRACE(ToUtf8(odd));
        PutValue(HKEY_CURRENT_USER, L"\\Software\\Names", odd, RawOf(REG_SZ, Utf16Bytes(L"x")));
        XmlElement value = NewEntry();
        EXPECT_FALSE(RecordRegistryEntry(value, HKEY_CURRENT_USER, L"\\Software\\Names", odd));
        EXPECT_EQ(value.ChildCount(), 0u);
        XmlElement tree = NewEntry();
        EXPECT_FALSE(RecordKeyTree(tree, HKEY_CURRENT_USER, L"\\Software\\Names"));
        ASSERT_TRUE(Registry(HKEY_CURRENT_USER).DeleteKey(L"\\Software\\Names"));

        PutKey(HKEY_CURRENT_USER, L"\\Software\\Keys\\" + odd);
        XmlElement keys = NewEntry();
        EXPECT_FALSE(RecordKeyTree(keys, HKEY_CURRENT_USER, L"\\Software\\Keys"));
        XmlElement named = NewEntry();
        EXPECT_FALSE(RecordKeyTree(named, HKEY_CURRENT_USER, L"\\Software\\Keys\\" + odd));
        ASSERT_TRUE(Registry(HKEY_CURRENT_USER).DeleteKey(L"\\Software\\Keys"));
    }
}

TEST_F(SnapshotRecordsTest, KeysAreRecordedWithTheRegistrysSpelling) {
    PutValue(HKEY_CURRENT_USER, L"\\Software\\Event\\.Current", L"",
             RawOf(REG_SZ, Utf16Bytes(L"a")));
    PutValue(HKEY_CURRENT_USER, L"\\Software\\Event\\.Current\\MiXed\\lower", L"v",
             RawOf(REG_SZ, Utf16Bytes(L"b")));
    const test::RegistryDump before = test::DumpRegistry();

    // Named in another case than the registry's, as a hand-written path may be.
    XmlElement entry = NewEntry();
    ASSERT_TRUE(RecordKeyTree(entry, HKEY_CURRENT_USER, L"\\Software\\Event\\.CURRENT"));
    ASSERT_EQ(entry.ChildCount(), 3u);
    EXPECT_EQ(entry.Child(0).AttributeText(L"SUBKEY"),
              L"HKEY_CURRENT_USER\\Software\\Event\\.Current");
    EXPECT_EQ(entry.Child(2).AttributeText(L"SUBKEY"),
              L"HKEY_CURRENT_USER\\Software\\Event\\.Current\\MiXed\\lower");

    ASSERT_TRUE(Registry(HKEY_CURRENT_USER).DeleteKey(L"\\Software\\Event\\.current"));
    WriteBackAll(entry);
    const test::RegistryDump after = test::DumpRegistry();
    EXPECT_TRUE(after == before) << test::DescribeDifferences(before, after);
}

TEST_F(SnapshotRecordsTest, RegistryLinksAreNeitherRecordedNorFollowed) {
    PutValue(HKEY_CURRENT_USER, L"\\Software\\Target\\Deep", L"secret",
             RawOf(REG_SZ, Utf16Bytes(L"not ours")));
    PutValue(HKEY_CURRENT_USER, L"\\Software\\Tree", L"v", RawOf(REG_SZ, Utf16Bytes(L"ours")));
    test::MakeRegistryLink(HKEY_CURRENT_USER, L"Software\\Tree\\Link", HKEY_CURRENT_USER,
                           L"Software\\Target");
    struct LinkGone {
        ~LinkGone() { test::RemoveRegistryLink(HKEY_CURRENT_USER, L"Software\\Tree\\Link"); }
    } linkGone;

    // A tree holding a link, and the link itself: incomplete, and nothing of the target.
    for (const wchar_t* path : {L"\\Software\\Tree", L"\\Software\\Tree\\Link"}) {
        XmlElement entry = NewEntry();
        EXPECT_FALSE(RecordKeyTree(entry, HKEY_CURRENT_USER, path)) << ToUtf8(path);
        for (size_t i = 0; i < entry.ChildCount(); ++i) {
            EXPECT_EQ(entry.Child(i).AttributeText(L"SUBKEY").find(L"Link"), std::wstring::npos);
            EXPECT_NE(entry.Child(i).Attribute(L"NAME"), L"secret");
        }
    }
}

TEST_F(SnapshotRecordsTest, WriteBackFollowsTheRecordTexts) {
    // Unknown or lower-case root names go to HKEY_CLASSES_ROOT.
    WriteBackValueRecord(L"HKEY_ELSEWHERE\\Software\\Unknown", L"x", L"rdString", L"y");
    WriteBackValueRecord(L"hkey_current_user\\Software\\Lower", L"x", L"rdString", L"y");
    EXPECT_TRUE(GetValue(HKEY_CLASSES_ROOT, L"\\Software\\Unknown", L"x"));
    EXPECT_TRUE(GetValue(HKEY_CLASSES_ROOT, L"\\Software\\Lower", L"x"));
    EXPECT_FALSE(KeyPresent(HKEY_CURRENT_USER, L"\\Software\\Lower"));

    // Integer text that is not hexadecimal gives 0; an unknown TYPE makes the key only.
    WriteBackValueRecord(L"HKEY_CURRENT_USER\\Software\\W", L"n", L"rdInteger", L"xyz");
    EXPECT_EQ(GetValue(HKEY_CURRENT_USER, L"\\Software\\W", L"n")->data,
              (std::vector<BYTE>{0, 0, 0, 0}));
    WriteBackValueRecord(L"HKEY_CURRENT_USER\\Software\\Typo", L"n", L"rdText", L"1");
    EXPECT_TRUE(KeyPresent(HKEY_CURRENT_USER, L"\\Software\\Typo"));
    EXPECT_FALSE(GetValue(HKEY_CURRENT_USER, L"\\Software\\Typo", L"n"));

    // A binary piece that is not a byte stops before anything is written.
    EXPECT_THROW(
        WriteBackValueRecord(L"HKEY_CURRENT_USER\\Software\\Bad", L"b", L"rdBinary", L"01,0G"),
        ValueRecordError);
    EXPECT_THROW(
        WriteBackValueRecord(L"HKEY_CURRENT_USER\\Software\\Bad", L"b", L"rdBinary", L"01,"),
        ValueRecordError);
    EXPECT_THROW(
        WriteBackValueRecord(L"HKEY_CURRENT_USER\\Software\\Bad", L"b", L"rdBinary", L"100"),
        ValueRecordError);
    EXPECT_FALSE(KeyPresent(HKEY_CURRENT_USER, L"\\Software\\Bad"));

    // Lone backslashes are dropped, pairs give one.
    WriteBackValueRecord(L"HKEY_CURRENT_USER\\Software\\W", L"s", L"rdString", L"a\\b\\\\c\\");
    EXPECT_EQ(GetValue(HKEY_CURRENT_USER, L"\\Software\\W", L"s")->data, Utf16Bytes(L"ab\\c"));
}

}  // namespace
}  // namespace kestrova
