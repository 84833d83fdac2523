#include "scan/windows_version.h"

#include <windows.h>

#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "platform/unique_handles.h"
#include "support/temp_folder.h"

namespace kestrova {
namespace {

TEST(ClassifyWindowsVersionTest, ClassifiesPlatformAndVersion) {
    const struct {
        DWORD platform, major, minor;
        int versionClass;
    } cases[] = {
        {1, 4, 0, 1},  {1, 4, 10, 2}, {1, 4, 90, 3}, {1, 4, 1, 0}, {1, 4, 91, 0},
        {1, 3, 10, 0}, {1, 5, 0, 0},  {2, 3, 51, 4}, {2, 4, 0, 4}, {2, 4, 90, 4},
        {2, 5, 0, 5},  {2, 5, 1, 6},  {2, 5, 2, 7},  {2, 5, 3, 0}, {2, 6, 0, 0},
        {2, 6, 1, 0},  {2, 10, 0, 0}, {0, 4, 0, 0},  {3, 5, 1, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ClassifyWindowsVersion(c.platform, c.major, c.minor), c.versionClass)
            << "platform " << c.platform << ", version " << c.major << "." << c.minor;
    }
}

TEST(ClassifyWindowsVersionTest, VistaSevenAndEightAndLaterAreToldApart) {
    const struct {
        DWORD platform, major, minor;
        bool vista, seven, eight;
    } cases[] = {
        {2, 6, 0, true, false, false},   {2, 6, 1, true, true, false},
        {2, 6, 2, true, true, true},     {2, 6, 3, true, true, true},
        {2, 10, 0, true, true, true},    {2, 5, 2, false, false, false},
        {2, 5, 9, false, false, false},  {2, 4, 0, false, false, false},
        {1, 6, 2, false, false, false},  {0, 6, 2, false, false, false},
        {3, 10, 0, false, false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsNtVersionAtLeast(c.platform, c.major, c.minor, 6, 0), c.vista)
            << "platform " << c.platform << ", version " << c.major << "." << c.minor;
        EXPECT_EQ(IsNtVersionAtLeast(c.platform, c.major, c.minor, 6, 1), c.seven)
            << "platform " << c.platform << ", version " << c.major << "." << c.minor;
        EXPECT_EQ(IsNtVersionAtLeast(c.platform, c.major, c.minor, 6, 2), c.eight)
            << "platform " << c.platform << ", version " << c.major << "." << c.minor;
    }
}

std::wstring OwnFolder() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.rfind(L'\\') + 1);
}

// Runs a console program and returns what it wrote to its standard output.
std::string RunAndCapture(const std::wstring& program) {
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    UniqueKernelHandle readEnd, writeEnd;
    if (!CreatePipe(readEnd.Put(), writeEnd.Put(), &inherit, 0) ||
        !SetHandleInformation(readEnd.Get(), HANDLE_FLAG_INHERIT, 0)) {
        return "pipe failed";
    }
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd.Get();
    startup.hStdError = writeEnd.Get();
    startup.hStdInput = nullptr;
    std::wstring commandLine = L"\"" + program + L"\"";
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                        CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process)) {
        return "start failed";
    }
    const UniqueKernelHandle processHandle(process.hProcess);
    const UniqueKernelHandle threadHandle(process.hThread);
    writeEnd.Reset();  // the pipe ends when the child's copy closes

    std::string output;
    char buffer[256];
    DWORD read = 0;
    while (ReadFile(readEnd.Get(), buffer, sizeof(buffer), &read, nullptr) && read > 0) {
        output.append(buffer, read);
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    return output;
}

// The probe copied to a name of its own, and Wine's per-program settings key for that name,
// which is removed afterwards. Writes the real registry: the child process does not see this
// process's sandbox.
class WindowsVersionProbeTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The per-program version setting is Wine's; Windows has no such key.
        if (GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") == nullptr) {
            GTEST_SKIP() << "needs Wine";
        }
        const std::wstring name =
            L"kestrova-version-probe-" + std::to_wstring(GetCurrentProcessId()) + L".exe";
        probe_ = temp_ / name;
        ASSERT_TRUE(
            CopyFileW((OwnFolder() + L"windows_version_probe.exe").c_str(), probe_.c_str(), FALSE))
            << "windows_version_probe.exe must lie next to the test program";
        settingsKey_ = std::wstring(kAppDefaults) + L"\\" + name;
        UniqueHKey existing;
        createdAppDefaults_ = RegOpenKeyExW(HKEY_CURRENT_USER, kAppDefaults, 0, KEY_READ,
                                            existing.Put()) != ERROR_SUCCESS;
    }
    void TearDown() override {
        if (settingsKey_.empty()) {
            return;
        }
        RegDeleteTreeW(HKEY_CURRENT_USER, settingsKey_.c_str());
        if (createdAppDefaults_) {
            RegDeleteKeyW(HKEY_CURRENT_USER, kAppDefaults);  // fails, as it should, if not empty
        }
    }

    void SetVersion(const std::wstring& version) {
        UniqueHKey key;
        ASSERT_EQ(
            RegCreateKeyExW(HKEY_CURRENT_USER, settingsKey_.c_str(), 0, nullptr,
                            REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, key.Put(), nullptr),
            ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExW(key.Get(), L"Version", 0, REG_SZ,
                                 reinterpret_cast<const BYTE*>(version.c_str()),
                                 static_cast<DWORD>((version.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    }

    // The class and the three flags the probe prints.
    struct Seen {
        int versionClass = -1;
        int vistaOrLater = -1;
        int windows7OrLater = -1;
        int windows8OrLater = -1;
    };
    Seen Probe() {
        const std::string output = RunAndCapture(probe_);
        EXPECT_FALSE(output.empty());
        Seen seen;
        std::istringstream numbers(output);
        if (!(numbers >> seen.versionClass >> seen.vistaOrLater >> seen.windows7OrLater >>
              seen.windows8OrLater)) {
            ADD_FAILURE() << "probe wrote: " << output;
        }
        return seen;
    }
    int ProbeClass() { return Probe().versionClass; }

    static constexpr wchar_t kAppDefaults[] = L"Software\\Wine\\AppDefaults";
    test::TempFolder temp_;
    std::wstring probe_;
    std::wstring settingsKey_;
    bool createdAppDefaults_ = false;
};

TEST_F(WindowsVersionProbeTest, ClassFollowsTheVersionReportedToTheProgram) {
    // Without a setting the probe sees what this process sees.
    EXPECT_EQ(ProbeClass(), WindowsVersionClass());

    const struct {
        const wchar_t* version;
        int versionClass;
    } cases[] = {
        {L"win98", 2}, {L"winxp", 6}, {L"win2003", 7}, {L"win2k", 5}, {L"win7", 0},
    };
    for (const auto& c : cases) {
        SetVersion(c.version);
        EXPECT_EQ(ProbeClass(), c.versionClass) << c.version;
    }
}

TEST_F(WindowsVersionProbeTest, VistaSevenAndEightAreToldApartFromOlderAndUnknownSystems) {
    const Seen own = Probe();
    EXPECT_EQ(own.vistaOrLater, WindowsVistaOrLater() ? 1 : 0);
    EXPECT_EQ(own.windows7OrLater, Windows7OrLater() ? 1 : 0);
    EXPECT_EQ(own.windows8OrLater, Windows8OrLater() ? 1 : 0);
    const struct {
        const wchar_t* version;
        int versionClass, vista, seven, eight;
    } cases[] = {
        {L"vista", 0, 1, 0, 0}, {L"win7", 0, 1, 1, 0},  {L"win8", 0, 1, 1, 1},
        {L"win10", 0, 1, 1, 1}, {L"winxp", 6, 0, 0, 0}, {L"win98", 2, 0, 0, 0},
        {L"win31", 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SetVersion(c.version);
        const Seen seen = Probe();
        EXPECT_EQ(seen.versionClass, c.versionClass) << c.version;
        EXPECT_EQ(seen.vistaOrLater, c.vista) << c.version;
        EXPECT_EQ(seen.windows7OrLater, c.seven) << c.version;
        EXPECT_EQ(seen.windows8OrLater, c.eight) << c.version;
    }
}

}  // namespace
}  // namespace kestrova
