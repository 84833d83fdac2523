#pragma once
// Runs a program as a child process and collects its exit status and output.

#include <windows.h>

#include <string>

#include "platform/unique_handles.h"

namespace kestrova::test {

struct ChildResult {
    DWORD exitCode = 0;
    std::string out;  // bytes written to stdout
    std::string err;  // bytes written to stderr
};

// Starts program with the command line `"program" arguments`, waits for it to end and
// returns what it wrote. Throws std::runtime_error when it cannot be started.
ChildResult RunChild(const std::wstring& program, const std::wstring& arguments);

// A program running as a child process with its output thrown away, to be waited for or
// ended from outside. Its environment is this process's at the start.
class RunningChild {
public:
    // Throws std::runtime_error when the program cannot be started.
    RunningChild(const std::wstring& program, const std::wstring& arguments);
    ~RunningChild();
    RunningChild(const RunningChild&) = delete;
    RunningChild& operator=(const RunningChild&) = delete;

    // Waits up to `milliseconds` for the end; true when it has ended.
    bool WaitFor(DWORD milliseconds) const;
    // Ends it at once, as a crash or a power cut would (TerminateProcess), and waits for that.
    void Kill();
    // Its exit status; only meaningful once it has ended.
    DWORD ExitCode() const;

private:
    UniqueKernelHandle process_;
};

// A path of the build machine ("/home/x/y") as Wine sees it ("Z:\home\x\y"); a Windows path
// is returned as it is.
std::wstring HostPathToWindows(const std::string& path);

}  // namespace kestrova::test
