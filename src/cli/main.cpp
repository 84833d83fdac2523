// Console front end of Kestrova PC Optimizer: runs the program's engines without its window.
#include <windows.h>
#include <objbase.h>

#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/console_output.h"

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

}  // namespace

int wmain(int argc, wchar_t** argv) {
    kestrova::cli::PrepareConsoleOutput();
    const ComApartment com;
    std::vector<std::wstring> arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.emplace_back(argv[i]);
    }
    return kestrova::cli::RunCommandLine(arguments);
}
