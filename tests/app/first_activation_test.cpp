#include "app/first_activation.h"

#include <windows.h>
#include <objbase.h>
#include <sddl.h>

#include "platform/registry.h"
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

// Gives a key a descriptor that lets everyone read it and nothing else, and restores full
// access afterwards so the sandbox can be deleted.
class ReadOnlyKey {
public:
    explicit ReadOnlyKey(const std::wstring& path) : path_(path) { Apply(L"D:P(A;;KR;;;WD)"); }
    ~ReadOnlyKey() { Apply(L"D:P(A;;KA;;;WD)"); }

private:
    void Apply(const wchar_t* sddl) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path_.c_str(), 0, WRITE_DAC, &key) != ERROR_SUCCESS) {
            return;
        }
        PSECURITY_DESCRIPTOR sd = nullptr;
        ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &sd, nullptr);
        RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, sd);
        LocalFree(sd);
        RegCloseKey(key);
    }
    std::wstring path_;
};

TEST_F(FirstActivationTest, StateKeyThatCannotBeWrittenIsReportedOncePerRun) {
    WriteState(L"");
    ReadOnlyKey readOnly(kProgramStateKeyPath);

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
