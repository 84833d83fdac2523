// The error section of the main window over a sandboxed registry holding a few stale entries:
// the scan on its worker thread, its buttons and counters, stopping it, and adding rows to the
// ignore list while the next scan then leaves them out.
#include <string>
#include <vector>

#include "main_form_fixture.h"
#include "platform/text.h"
#include "platform/xml_document.h"

namespace kestrova {
namespace {

using namespace test;

const std::wstring kGoneAppKeyName =
    L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\gone.exe";
const std::wstring kGoneHelpKeyName =
    L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\Help\\gone.hlp";

class MainFormScanTest : public MainFormTest {
protected:
    // One stale App Paths key, one stale Help value, and one App Paths key whose program exists.
    void WriteStaleEntries() {
        WriteFileBytes(temp_ / L"present.exe", "MZ");
        SetMachineText(kAppPathsKey + L"\\present.exe", L"", temp_ / L"present.exe");
        SetMachineText(kAppPathsKey + L"\\gone.exe", L"", temp_ / L"gone.exe");
        SetMachineText(kHelpKey, L"gone.hlp", temp_.Path());
    }
    ScanErrorsSection& Page() { return form_->Get<ScanErrorsSection>(); }
    HWND Errors() { return Page().lvErrors.Handle(); }
    HWND Groups() { return Page().lvScanGroups.Handle(); }
    std::vector<std::wstring> KeyNames() {
        std::vector<std::wstring> names;
        for (int row = 0; row < RowCount(Errors()); ++row) {
            names.push_back(ItemText(Errors(), row, 1));
        }
        return names;
    }
    // The "Errors" cells of the thirteen groups.
    std::vector<std::wstring> Counters() {
        std::vector<std::wstring> counters;
        for (int row = 0; row < RowCount(Groups()); ++row) {
            counters.push_back(ItemText(Groups(), row, 1));
        }
        return counters;
    }
    static std::vector<std::wstring> CountersWith(int appPaths, int helpFiles) {
        std::vector<std::wstring> counters(kScanGroupCount, L"0");
        counters[kGroupAppPaths] = std::to_wstring(appPaths);
        counters[kGroupHelpFiles] = std::to_wstring(helpFiles);
        return counters;
    }
    void Scan() {
        Page().btnStartScan.Click();
        WaitForScanEnd();
    }
};

TEST_F(MainFormScanTest, FirstActivationScansAndListsExactlyTheStaleEntries) {
    WriteStaleEntries();
    Open();
    EXPECT_EQ(dialogs_.Texts(ShownDialog::Kind::Message),
              std::vector<std::wstring>{kFirstScanMessage});
    ASSERT_EQ(RowCount(Errors()), 2);
    EXPECT_EQ(ItemText(Errors(), 0, 0), L"Application");
    EXPECT_EQ(ItemText(Errors(), 0, 1), kGoneAppKeyName);
    EXPECT_EQ(ItemText(Errors(), 0, 2), temp_ / L"gone.exe");
    EXPECT_EQ(ItemText(Errors(), 1, 0), L"Help File");
    EXPECT_EQ(ItemText(Errors(), 1, 1), kGoneHelpKeyName);
    EXPECT_TRUE(ItemChecked(Errors(), 0));
    EXPECT_TRUE(ItemChecked(Errors(), 1));
    EXPECT_EQ(Counters(), CountersWith(1, 1));
    EXPECT_EQ(Page().lblScanLabel.Text(), L"Scan done !");
    EXPECT_EQ(Page().btnStartScan.Text(), L"Start &Scan");
    EXPECT_TRUE(Page().btnFixSelected.Enabled());
    EXPECT_EQ(&form_->ShownSection(), &form_->Get<ScanErrorsSection>());
    EXPECT_TRUE(dialogs_.Texts(ShownDialog::Kind::Error).empty());
}

TEST_F(MainFormScanTest, AScanThatEndsInAnErrorSaysSoInTheStatusLine) {
    WriteStaleEntries();
    // An entry edited by hand without its KEY: matching the first stale row against it fails.
    WriteFileBytes(temp_ / L"ignore.xml",
                   "<IgnoreList><ERROR ROOT=\"HKEY_USERS\" VALUE=\"w\"/></IgnoreList>");
    Open();
    const std::wstring status = Page().lblScanLabel.Text();
    EXPECT_EQ(status.rfind(L"Scan failed: ", 0), 0u) << ToUtf8(status);
    EXPECT_NE(status.find(L"KEY"), std::wstring::npos) << ToUtf8(status);
    EXPECT_EQ(Page().btnStartScan.Text(), L"Start &Scan");

    // The next scan without the broken entry completes.
    form_->IgnoreXmlDocument().Root().DeleteAllChildren();
    Scan();
    EXPECT_EQ(Page().lblScanLabel.Text(), L"Scan done !");
    EXPECT_EQ(KeyNames(), (std::vector<std::wstring>{kGoneAppKeyName, kGoneHelpKeyName}));
}

TEST_F(MainFormScanTest, ButtonsFollowTheScanAndAnUncheckedGroupIsSkipped) {
    WriteStaleEntries();
    MarkFirstScanOffered();
    Open();
    EXPECT_EQ(RowCount(Errors()), 0) << "no scan without the first activation";
    EXPECT_FALSE(Page().btnFixSelected.Enabled());

    // Leftovers of an earlier run are cleared by the start, which runs inside the click.
    Page().errors.Add(ErrorRow{L"Uninstall", L"HKEY_USERS\\old\\x", L"", L""});
    Page().scanGroups.SetCell(5, 1, L"7");
    ClickCheckBox(Groups(), kGroupHelpFiles);
    ASSERT_FALSE(ItemChecked(Groups(), kGroupHelpFiles));
    Page().btnStartScan.Click();
    EXPECT_EQ(Page().btnStartScan.Text(), L"Stop &Scan");
    EXPECT_FALSE(Page().btnFixSelected.Enabled());
    EXPECT_EQ(Page().errors.RowCount(), 0u);
    EXPECT_EQ(Counters(), CountersWith(0, 0));
    EXPECT_TRUE(form_->Get<ScanErrorsSection>().ScanRunning());

    // While it runs, showing the window again leaves the groups as they are.
    SendMessageW(Form(), WM_SHOWWINDOW, TRUE, 0);
    EXPECT_FALSE(ItemChecked(Groups(), kGroupHelpFiles));

    // Another section shown meanwhile (switched without letting the scan's reports in).
    for (size_t i = 0; i < form_->SectionCount(); ++i) {
        if (&form_->SectionAt(i) == &form_->Get<IgnoreListSection>()) {
            form_->MainControl().ShowPage(i);
        }
    }
    WaitForScanEnd();
    EXPECT_EQ(KeyNames(), std::vector<std::wstring>{kGoneAppKeyName});
    EXPECT_EQ(Counters(), CountersWith(1, 0));
    EXPECT_EQ(&form_->ShownSection(), &form_->Get<ScanErrorsSection>())
        << "the end shows the results";
    EXPECT_EQ(Page().btnStartScan.Text(), L"Start &Scan");
    EXPECT_TRUE(Page().btnFixSelected.Enabled());
    EXPECT_EQ(Page().lblScanLabel.Text(), L"Scan done !");

    // Ticked again, the group counts on the next run, which starts from an empty list.
    ClickCheckBox(Groups(), kGroupHelpFiles);
    Scan();
    EXPECT_EQ(KeyNames(), (std::vector<std::wstring>{kGoneAppKeyName, kGoneHelpKeyName}));
    EXPECT_EQ(Counters(), CountersWith(1, 1));
}

TEST_F(MainFormScanTest, SecondPressStopsTheOneRunningScan) {
    MarkFirstScanOffered();
    constexpr int kEntries = 1500;
    for (int i = 0; i < kEntries; ++i) {
        SetMachineText(kAppPathsKey + L"\\gone" + std::to_wstring(i) + L".exe", L"",
                       temp_ / L"gone.exe");
    }
    SetMachineText(kHelpKey, L"gone.hlp", temp_.Path());
    Open();

    Page().btnStartScan.Click();
    Page().btnStartScan.Click();
    EXPECT_EQ(Page().btnStartScan.Text(), L"Stop &Scan") << "until the worker has ended";
    WaitForScanEnd();
    EXPECT_EQ(Page().btnStartScan.Text(), L"Start &Scan");
    EXPECT_EQ(Page().lblScanLabel.Text(), L"Scan done !");
    EXPECT_LT(RowCount(Errors()), kEntries);
    EXPECT_EQ(ItemText(Groups(), kGroupHelpFiles, 1), L"0") << "the stop came before the group";
    for (const std::wstring& name : KeyNames()) {
        EXPECT_NE(name, kGoneHelpKeyName);
    }

    // A full run afterwards lists every entry once, and the list view keeps up.
    Scan();
    EXPECT_EQ(RowCount(Errors()), kEntries + 1);
    EXPECT_EQ(Counters(), CountersWith(kEntries, 1));

    // Closing for real asks a running scan to stop, even when the closing then fails.
    ASSERT_TRUE(CreateDirectoryW((temp_ / L"Backup.xml").c_str(), nullptr));
    Page().btnStartScan.Click();
    Exit();
    EXPECT_EQ(dialogs_.Count(ShownDialog::Kind::Error), 1u);
    ASSERT_TRUE(IsWindow(Form()));
    WaitForScanEnd();
    EXPECT_LT(RowCount(Errors()), kEntries);
    EXPECT_EQ(ItemText(Groups(), kGroupHelpFiles, 1), L"0");
    EXPECT_EQ(Page().lblScanLabel.Text(), L"Scan done !");

    // "Add to Ignore List" stays usable during a run: the rows listed so far move to the ignore
    // list, the run goes on, and between them the two lists hold every stale entry once.
    Page().btnStartScan.Click();
    ASSERT_TRUE(PumpMessagesUntil([this] {
        return RowCount(Errors()) > 0 || !form_->Get<ScanErrorsSection>().ScanRunning();
    }));
    Page().btnAdd2Ignore.Click();
    WaitForScanEnd();
    XmlDocument saved;
    saved.Load(temp_ / L"ignore.xml");
    const size_t ignored = saved.Root().ChildCount();
    EXPECT_GT(ignored, 0u);
    EXPECT_EQ(static_cast<size_t>(RowCount(Errors())) + ignored, static_cast<size_t>(kEntries + 1));
    EXPECT_EQ(RowCount(form_->Get<IgnoreListSection>().lvIgnore.Handle()),
              static_cast<int>(ignored));
}

TEST_F(MainFormScanTest, AddToIgnoreListDropsTheCheckedRowsFromThisAndLaterScans) {
    WriteStaleEntries();
    Open();
    ASSERT_EQ(RowCount(Errors()), 2);
    ClickCheckBox(Errors(), 0);  // the App Paths row stays
    ASSERT_FALSE(ItemChecked(Errors(), 0));
    Page().btnAdd2Ignore.Click();
    Settle();
    EXPECT_EQ(KeyNames(), std::vector<std::wstring>{kGoneAppKeyName});
    EXPECT_EQ(Counters(), CountersWith(1, 1)) << "counters are left alone";
    EXPECT_TRUE(dialogs_.Texts(ShownDialog::Kind::Error).empty());

    XmlDocument saved;
    saved.Load(temp_ / L"ignore.xml");
    ASSERT_EQ(saved.Root().ChildCount(), 1u);
    EXPECT_EQ(saved.Root().Child(0).AttributeText(L"ROOT"), L"HKEY_LOCAL_MACHINE");
    EXPECT_EQ(saved.Root().Child(0).AttributeText(L"KEY"), kHelpKey);
    EXPECT_EQ(saved.Root().Child(0).AttributeText(L"VALUE"), L"gone.hlp");
    const HWND ignoreList = form_->Get<IgnoreListSection>().lvIgnore.Handle();
    ASSERT_EQ(RowCount(ignoreList), 1);
    EXPECT_EQ(ItemText(ignoreList, 0, 1), kHelpKey);

    Scan();
    EXPECT_EQ(KeyNames(), std::vector<std::wstring>{kGoneAppKeyName});
    EXPECT_EQ(Counters(), CountersWith(1, 0));

    // The new scan lists its row checked again: now it goes too.
    ASSERT_TRUE(ItemChecked(Errors(), 0));
    Page().btnAdd2Ignore.Click();
    EXPECT_EQ(RowCount(Errors()), 0);
    Scan();
    EXPECT_EQ(RowCount(Errors()), 0);
    EXPECT_EQ(Counters(), CountersWith(0, 0));
}

}  // namespace
}  // namespace kestrova
