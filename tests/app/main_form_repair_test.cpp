// Fixing errors, the restore history and the ignore list section of the main window, over a
// sandboxed registry: the registry, Backup.xml and ignore.xml are read back after each step.
#include <string>
#include <vector>

#include "main_form_fixture.h"
#include "platform/xml_document.h"

namespace kestrova {
namespace {

using namespace test;

class MainFormRepairTest : public MainFormTest {
protected:
    HWND ErrorRows() { return form_->Get<ScanErrorsSection>().lvErrors.Handle(); }
    HWND HistoryRows() { return form_->Get<HistorySection>().lvHistory.Handle(); }
    HWND IgnoreRows() { return form_->Get<IgnoreListSection>().lvIgnore.Handle(); }
    bool AppKeyExists() {
        Registry reg(HKEY_LOCAL_MACHINE);
        return reg.KeyExists(L"\\" + kAppPathsKey + L"\\gone.exe");
    }
    size_t EntriesIn(const std::wstring& file) {
        XmlDocument saved;
        saved.Load(temp_ / file);
        return saved.Root().ChildCount();
    }
    void Fix() {
        form_->Get<ScanErrorsSection>().btnFixSelected.Click();
        Settle();
    }
};

TEST_F(MainFormRepairTest, FixKeepsHistoryThatRestoresAndClears) {
    WriteFileBytes(temp_ / L"present.exe", "MZ");
    SetMachineText(kAppPathsKey + L"\\present.exe", L"", temp_ / L"present.exe");
    SetMachineText(kAppPathsKey + L"\\gone.exe", L"", temp_ / L"gone.exe");
    SetMachineText(kAppPathsKey + L"\\gone.exe", L"Path", temp_.Path());
    SetMachineText(kHelpKey, L"gone.hlp", temp_.Path());
    SetMachineText(kHelpKey, L"kept.hlp", temp_.Path());
    Open();                               // the first activation scans
    ASSERT_EQ(RowCount(ErrorRows()), 3);  // gone.exe, gone.hlp, kept.hlp
    ClickCheckBox(ErrorRows(), 2);        // kept.hlp stays
    ASSERT_EQ(ItemText(ErrorRows(), 2, 1), L"HKEY_LOCAL_MACHINE\\" + kHelpKey + L"\\kept.hlp");
    ClickCheckBox(form_->Get<ScanErrorsSection>().lvScanGroups.Handle(), kGroupFonts);

    // The history cannot be saved: nothing is deleted and the rows stay.
    ASSERT_TRUE(CreateDirectoryW((temp_ / L"Backup.xml").c_str(), nullptr));
    Fix();
    ASSERT_EQ(dialogs_.Count(ShownDialog::Kind::Error), 1u);
    EXPECT_EQ(RowCount(ErrorRows()), 3);
    EXPECT_TRUE(AppKeyExists());
    EXPECT_EQ(MachineText(kHelpKey, L"gone.hlp"), temp_.Path());
    ASSERT_TRUE(RemoveDirectoryW((temp_ / L"Backup.xml").c_str()));

    Fix();
    EXPECT_EQ(dialogs_.Count(ShownDialog::Kind::Error), 1u);
    ASSERT_EQ(RowCount(ErrorRows()), 1);
    EXPECT_EQ(ItemText(ErrorRows(), 0, 1), L"HKEY_LOCAL_MACHINE\\" + kHelpKey + L"\\kept.hlp");
    EXPECT_FALSE(AppKeyExists());
    EXPECT_EQ(MachineText(kHelpKey, L"gone.hlp"), L"<none>");
    EXPECT_EQ(MachineText(kHelpKey, L"kept.hlp"), temp_.Path());
    EXPECT_EQ(MachineText(kAppPathsKey + L"\\present.exe", L""), temp_ / L"present.exe");
    EXPECT_EQ(EntriesIn(L"Backup.xml"), 2u) << "the undo data reached the disk";
    EXPECT_TRUE(ItemChecked(form_->Get<ScanErrorsSection>().lvScanGroups.Handle(), kGroupFonts))
        << "the groups are reset";

    // Bottom-up: the last fixed row is the first entry.
    Press(form_->ToolButtonFor<HistorySection>().Handle());
    EXPECT_EQ(&form_->ShownSection(), &form_->Get<HistorySection>());
    ASSERT_EQ(RowCount(HistoryRows()), 2);
    EXPECT_EQ(ItemText(HistoryRows(), 0, 0), L"Help File");
    EXPECT_EQ(ItemText(HistoryRows(), 0, 1), L"HKEY_LOCAL_MACHINE\\" + kHelpKey + L"\\gone.hlp");
    EXPECT_EQ(ItemText(HistoryRows(), 1, 0), L"Application");
    EXPECT_FALSE(ItemChecked(HistoryRows(), 0));

    HistorySection& history = form_->Get<HistorySection>();
    history.btnCheckAll1.Click();
    EXPECT_EQ(history.btnCheckAll1.Text(), L"Unch&eck All");
    EXPECT_TRUE(ItemChecked(HistoryRows(), 0));
    EXPECT_TRUE(ItemChecked(HistoryRows(), 1));
    history.btnRestore.Click();
    Settle();
    EXPECT_EQ(RowCount(HistoryRows()), 0);
    EXPECT_EQ(MachineText(kAppPathsKey + L"\\gone.exe", L""), temp_ / L"gone.exe");
    EXPECT_EQ(MachineText(kAppPathsKey + L"\\gone.exe", L"Path"), temp_.Path());
    EXPECT_EQ(MachineText(kHelpKey, L"gone.hlp"), temp_.Path());
    EXPECT_EQ(EntriesIn(L"Backup.xml"), 0u);
    history.btnCheckAll1.Click();
    EXPECT_EQ(history.btnCheckAll1.Text(), L"Unch&eck All") << "nothing to toggle";

    // Fixed again, then the history is thrown away.
    Press(form_->ToolButtonFor<ScanErrorsSection>().Handle());
    form_->Get<ScanErrorsSection>().btnStartScan.Click();
    WaitForScanEnd();
    ASSERT_EQ(RowCount(ErrorRows()), 3);
    Fix();
    EXPECT_EQ(RowCount(ErrorRows()), 0);
    Press(form_->ToolButtonFor<HistorySection>().Handle());
    ASSERT_EQ(RowCount(HistoryRows()), 3);
    history.btnClearUndo.Click();
    Settle();
    EXPECT_EQ(RowCount(HistoryRows()), 0);
    EXPECT_EQ(form_->RestoreXmlDocument().Root().ChildCount(), 0u);
    history.btnRefresh2.Click();
    EXPECT_EQ(RowCount(HistoryRows()), 0);
    EXPECT_FALSE(AppKeyExists()) << "clearing writes nothing back";
    EXPECT_EQ(dialogs_.Count(ShownDialog::Kind::Error), 1u);
}

TEST_F(MainFormRepairTest, IgnoreSectionAddsRemovesAndSavesEachChange) {
    MarkFirstScanOffered();
    WriteFileBytes(temp_ / L"ignore.xml",
                   "<IgnoreList><ERROR ROOT=\"HKEY_USERS\" KEY=\"k\" VALUE=\"v\"/></IgnoreList>");
    Open();
    Press(form_->ToolButtonFor<IgnoreListSection>().Handle());
    IgnoreListSection& page = form_->Get<IgnoreListSection>();
    ASSERT_EQ(RowCount(IgnoreRows()), 1);

    // An empty box: nothing is added.
    page.edRoot.SetText(L"HKLM");
    page.edKeyName.SetText(L"");
    page.edValue.SetText(L"x");
    page.btnAdd.Click();
    EXPECT_EQ(RowCount(IgnoreRows()), 1);
    EXPECT_EQ(EntriesIn(L"ignore.xml"), 1u);

    page.edKeyName.SetText(L" Some\\Key ");
    page.btnAdd.Click();
    ASSERT_EQ(RowCount(IgnoreRows()), 2);
    EXPECT_EQ(ItemText(IgnoreRows(), 1, 0), L"HKLM");
    EXPECT_EQ(ItemText(IgnoreRows(), 1, 1), L" Some\\Key ") << "kept exactly as typed";
    EXPECT_EQ(ItemText(IgnoreRows(), 1, 2), L"x");
    EXPECT_EQ(page.edKeyName.Text(), L" Some\\Key ") << "the boxes keep their text";
    EXPECT_EQ(EntriesIn(L"ignore.xml"), 2u);

    page.btnCheckall2.Click();
    EXPECT_TRUE(ItemChecked(IgnoreRows(), 0));
    EXPECT_TRUE(ItemChecked(IgnoreRows(), 1));
    page.btnUncheckall.Click();
    EXPECT_FALSE(ItemChecked(IgnoreRows(), 1));
    ClickCheckBox(IgnoreRows(), 0);
    page.btnRemove.Click();
    ASSERT_EQ(RowCount(IgnoreRows()), 1);
    EXPECT_EQ(ItemText(IgnoreRows(), 0, 0), L"HKLM");
    XmlDocument saved;
    saved.Load(temp_ / L"ignore.xml");
    ASSERT_EQ(saved.Root().ChildCount(), 1u);
    EXPECT_EQ(saved.Root().Child(0).AttributeText(L"ROOT"), L"HKLM");

    // Refresh rebuilds from the document held in memory, not from the file.
    WriteFileBytes(temp_ / L"ignore.xml", "<IgnoreList/>");
    page.btnRefresh6.Click();
    EXPECT_EQ(RowCount(IgnoreRows()), 1) << "the list shows the document held in memory";
    page.btnCheckall2.Click();
    page.btnRemove.Click();
    EXPECT_EQ(RowCount(IgnoreRows()), 0);
    EXPECT_EQ(EntriesIn(L"ignore.xml"), 0u);
    EXPECT_TRUE(dialogs_.Texts(ShownDialog::Kind::Error).empty());
}

TEST_F(MainFormRepairTest, RowsAFixLeavesAndEntriesARestoreKeepsAreToldOnce) {
    SetMachineText(kAppPathsKey + L"\\gone.exe", L"", temp_ / L"gone.exe");
    Open();
    ASSERT_EQ(RowCount(ErrorRows()), 1);
    // Two rows naming keys that no fix may delete, whatever produced them.
    ErrorListModel& errors = form_->Get<ScanErrorsSection>().errors;
    errors.Add(ErrorRow{L"Application", L"HKEY_CURRENT_USER\\Software", L"v", L"p"});
    errors.Add(ErrorRow{L"Application", L"HKEY_LOCAL_MACHINE", L"v", L"p"});
    Settle();

    Fix();
    EXPECT_FALSE(AppKeyExists());
    ASSERT_EQ(RowCount(ErrorRows()), 2) << "the refused rows stay";
    const std::vector<std::wstring> told = dialogs_.Texts(ShownDialog::Kind::Error);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told[0].find(L"HKEY_CURRENT_USER\\Software"), std::wstring::npos);
    EXPECT_NE(told[0].find(L"HKEY_LOCAL_MACHINE"), std::wstring::npos);

    // Three entries whose records name no key to write to: one message for all of them.
    XmlElement root = form_->RestoreXmlDocument().Root();
    for (const wchar_t* name : {L"A", L"B", L"C"}) {
        XmlElement entry = root.AppendChild(L"ELEMENT");
        entry.SetAttribute(L"NAME", name);
        entry.SetAttribute(L"TYPE", L"t");
        entry.SetAttribute(L"PATH", L"p");
        XmlElement item = entry.AppendChild(L"ITEM");
        item.SetAttribute(L"SUBKEY", L"HKEY_CURRENT_USER");
        item.SetAttribute(L"NAME", L"v");
        item.SetAttribute(L"TYPE", L"rdString");
        item.SetAttribute(L"VALUE", L"x");
    }
    Press(form_->ToolButtonFor<HistorySection>().Handle());
    HistorySection& history = form_->Get<HistorySection>();
    ASSERT_EQ(RowCount(HistoryRows()), 4);
    history.btnCheckAll1.Click();
    history.btnRestore.Click();
    Settle();
    EXPECT_TRUE(AppKeyExists()) << "the good entry came back";
    EXPECT_EQ(RowCount(HistoryRows()), 3) << "the bad ones stay in the history";
    EXPECT_EQ(dialogs_.Texts(ShownDialog::Kind::Error).size(), 2u);
}

}  // namespace
}  // namespace kestrova
