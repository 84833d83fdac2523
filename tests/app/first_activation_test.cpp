#include "app/first_activation.h"

#include <windows.h>
#include <objbase.h>

#include "platform/registry.h"
#include "support/read_only_key.h"
#include "support/sandbox_test.h"

namespace kestrova {
namespace {

using Action = FirstActivationStep::Action;

class FirstActivationTest : public test::SandboxTest {
protected:
    static std::wstring StateValue() {
        Registry reg(HKEY_LOCAL_MACHINE);
        return reg.OpenKeyReadOnly(kProgramStateKeyPath) ? reg.ReadString(kActivatedFirstScanValue)
                                                         : L"<no key>";
    }
    static void WriteState(const std::wstring& value) {
        Registry reg(HKEY_LOCAL_MACHINE);
        ASSERT_TRUE(reg.OpenKey(kProgramStateKeyPath, true));
        reg.WriteString(kActivatedFirstScanValue, value);
    }
};

TEST_F(FirstActivationTest, TheKeyIsTheProgramsClassInfoKey) {
    EXPECT_EQ(std::wstring(kProgramStateKeyPath),
              std::wstring(L"Software\\Classes\\CLSID\\") + kProgramGuid + L"\\Info");
    CLSID parsed;
    EXPECT_EQ(CLSIDFromString(kProgramGuid, &parsed), NOERROR);
}

TEST_F(FirstActivationTest, OffersTheScanOnceOnAFreshMachine) {
    FirstActivationCheck check;
    EXPECT_EQ(check.Run().action, Action::OfferScan);
    EXPECT_EQ(StateValue(), L"1");
    EXPECT_EQ(check.Run().action, Action::Nothing);
    // A later start of the program on the same machine.
    FirstActivationCheck nextRun;
    EXPECT_EQ(nextRun.Run().action, Action::Nothing);
}

TEST_F(FirstActivationTest, OnlyExactlyOneCountsAsOffered) {
    for (const wchar_t* value : {L"", L"0", L"yes", L"1 "}) {
        WriteState(value);
        FirstActivationCheck check;
        EXPECT_EQ(check.Run().action, Action::OfferScan) << "value \"" << value << "\"";
        EXPECT_EQ(StateValue(), L"1");
    }
}

TEST_F(FirstActivationTest, StateKeyThatCannotBeWrittenIsReportedOncePerRun) {
    WriteState(L"");
    test::ReadOnlyKey readOnly(HKEY_LOCAL_MACHINE, kProgramStateKeyPath);

    FirstActivationCheck check;
    const FirstActivationStep first = check.Run();
    EXPECT_EQ(first.action, Action::ReportFailure);
    EXPECT_EQ(first.error, L"Failed to set data for 'ActivatedFirstScan'");
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(check.Run().action, Action::Nothing);
    }
    EXPECT_EQ(StateValue(), L"");
}

TEST_F(FirstActivationTest, StateOfAnotherTypeIsReportedOnce) {
    Registry reg(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.OpenKey(kProgramStateKeyPath, true));
    reg.WriteInteger(kActivatedFirstScanValue, 1);
    FirstActivationCheck check;
    EXPECT_EQ(check.Run().action, Action::ReportFailure);
    EXPECT_EQ(check.Run().action, Action::Nothing);
}

}  // namespace
}  // namespace kestrova
