// Console front end of Kestrova PC Optimizer: runs the program's engines without its window.
#include <windows.h>
#include <objbase.h>

#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/console_output.h"
#include "cli/exit_codes.h"
#include "platform/registry.h"

namespace {

// MSXML (the ignore list and the restore history) needs COM on this thread.
class ComApartment {
public:
    ComApartment() : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComApartment() {
        if (initialised_) {
            CoUninitialize();
        }
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool initialised_;
};

// For tests only: a registry sandbox of the test process (a key below HKEY_CURRENT_USER
// holding one stand-in key per root, named by the root's long name) that this process works
// on instead of the real registry. A child process does not inherit the parent's redirected
// roots, so the sandbox is passed by name.
constexpr wchar_t kRegistrySandboxVariable[] = L"KESTROVA_REGISTRY_SANDBOX";

// False when a sandbox is named but cannot be used: the real registry must not be touched then.
bool UseRegistrySandbox() {
    wchar_t path[1024];
    const DWORD length = GetEnvironmentVariableW(kRegistrySandboxVariable, path, 1024);
    if (length == 0) {
        return true;
    }
    if (length >= 1024 || !kestrova::RedirectRootKeys(std::wstring(path, length))) {
        kestrova::cli::WriteErr(L"kestrova-cli: the registry sandbox named by " +
                                std::wstring(kRegistrySandboxVariable) + L" cannot be used\n");
        return false;
    }
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    kestrova::cli::PrepareConsoleOutput();
    const ComApartment com;
    if (!UseRegistrySandbox()) {
        return kestrova::cli::kExitFailed;
    }
    std::vector<std::wstring> arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.emplace_back(argv[i]);
    }
    return kestrova::cli::RunCommandLine(arguments);
}
