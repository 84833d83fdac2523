// The registry editor's command lines, and export and import judged by their files, with the
// real regedit.exe on keys of the test's own under the real HKEY_CURRENT_USER.
#include "repair/registry_editor.h"

#include <gtest/gtest.h>

#include "platform/registry.h"
#include "platform/text.h"
#include "support/real_test_key.h"
#include "support/temp_folder.h"

namespace kestrova {
namespace {

using test::RealTestKey;

TEST(RegistryEditorCommandLines, QuoteEachArgumentSoTheEditorSeesItWhole) {
    struct Case {
        const wchar_t* text;
        const wchar_t* quoted;
    };
    const Case cases[] = {
        {L"HKEY_USERS.reg", L"\"HKEY_USERS.reg\""},
        {L"C:\\Program Files\\Kestrova\\Temp1.txt", L"\"C:\\Program Files\\Kestrova\\Temp1.txt\""},
        {L"", L"\"\""},
        // A quote inside is escaped with the backslashes before it doubled; backslashes at the
        // end are doubled so the closing quote stays one.
        {L"HKEY_CLASSES_ROOT\\.a\"b", L"\"HKEY_CLASSES_ROOT\\.a\\\"b\""},
        {L"x\\\"y", L"\"x\\\\\\\"y\""},
        {L"C:\\dir\\", L"\"C:\\dir\\\\\""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(QuotedArgument(c.text), c.quoted) << c.text;
    }
    EXPECT_EQ(ExportCommandLine(L"HKEY_USERS.reg", L"HKEY_USERS"),
              L" /e \"HKEY_USERS.reg\" \"HKEY_USERS\"");
    // Only /s: an editor that refuses /i (Wine's does) would import nothing.
    EXPECT_EQ(ImportCommandLine(L"C:\\Temp\\Temp1.txt"), L" /s \"C:\\Temp\\Temp1.txt\"");
}

class RegistryEditorTest : public ::testing::Test {
protected:
    void SetValue(const std::wstring& subKey, const std::wstring& name, const std::wstring& text) {
        Registry registry(HKEY_CURRENT_USER);
        ASSERT_TRUE(registry.OpenKey(key_.Key().path + subKey, true));
        registry.WriteString(name, text);
    }
    std::wstring ValueOf(const std::wstring& subKey, const std::wstring& name) {
        Registry registry(HKEY_CURRENT_USER);
        if (!registry.OpenKeyReadOnly(key_.Key().path + subKey)) {
            return L"(no key)";
        }
        return registry.ReadString(name);
    }

    RealTestKey key_{L"editor"};
    test::TempFolder temp_;
};

TEST_F(RegistryEditorTest, ExportWritesTheKeyAndImportWritesItBack) {
    SetValue(L"\\Sub", L"Name", L"before");
    // A name with a blank and a quote reaches the editor whole.
    SetValue(L"\\With \"quote\"", L"Other", L"quoted");
    const std::wstring file = temp_ / L"export file.reg";
    ASSERT_EQ(ExportKey(RunRegistryEditor, file, key_.Text(), L""), std::nullopt);
    const std::wstring text = test::ReadRegFile(file);
    EXPECT_EQ(text.rfind(test::RegFileHeader(), 0), 0u);
    EXPECT_NE(text.find(L"[" + key_.Text() + L"\\Sub]\r\n\"Name\"=\"before\""), std::wstring::npos)
        << ToUtf8(text);

    const std::wstring quoted = temp_ / L"quoted.reg";
    ASSERT_EQ(ExportKey(RunRegistryEditor, L"quoted.reg", key_.Text() + L"\\With \"quote\"",
                        temp_.Path()),
              std::nullopt);
    EXPECT_NE(test::ReadRegFile(quoted).find(L"\"Other\"=\"quoted\""), std::wstring::npos);

    SetValue(L"\\Sub", L"Name", L"after");
    ASSERT_EQ(ImportFile(RunRegistryEditor, L"export file.reg", temp_.Path()), std::nullopt);
    EXPECT_EQ(ValueOf(L"\\Sub", L"Name"), L"before");
}

TEST_F(RegistryEditorTest, AnExportThatLeavesNoFileOrAnEmptyOneIsAFailure) {
    // An old file of the same name does not pass for the new export.
    const std::wstring file = temp_ / L"old.reg";
    test::WriteRegFile(file, test::RegFileHeader());
    EXPECT_EQ(ExportKey(RunRegistryEditor, file, key_.Text() + L"\\Missing", L""),
              L"the registry editor wrote no file");
    EXPECT_FALSE(test::FileExists(file));

    // Failures the real editor cannot be made to show.
    const RegistryEditorRun writesEmptyFile = [&](const std::wstring&, const std::wstring&) {
        test::WriteFileBytes(file, "");
        return true;
    };
    EXPECT_EQ(ExportKey(writesEmptyFile, file, key_.Text(), L""),
              L"the registry editor wrote an empty file");
    const RegistryEditorRun notStarted = [](const std::wstring&, const std::wstring&) {
        return false;
    };
    EXPECT_EQ(ExportKey(notStarted, file, key_.Text(), L""),
              L"the registry editor could not be started");
}

TEST_F(RegistryEditorTest, AMissingOrEmptyFileIsNotImported) {
    int runs = 0;
    const RegistryEditorRun counting = [&](const std::wstring&, const std::wstring&) {
        ++runs;
        return true;
    };
    EXPECT_EQ(ImportFile(counting, L"none.reg", temp_.Path()), L"none.reg is missing");
    test::WriteFileBytes(temp_ / L"empty.reg", "");
    EXPECT_EQ(ImportFile(counting, temp_ / L"empty.reg", L""), temp_ / L"empty.reg" + L" is empty");
    EXPECT_EQ(runs, 0);
}

}  // namespace
}  // namespace kestrova
