#pragma once
// Runs a program as a child process and collects its exit status and output.

#include <windows.h>

#include <string>

namespace kestrova::test {

struct ChildResult {
    DWORD exitCode = 0;
    std::string out;  // bytes written to stdout
    std::string err;  // bytes written to stderr
};

// Starts program with the command line `"program" arguments`, waits for it to end and
// returns what it wrote. Throws std::runtime_error when it cannot be started.
ChildResult RunChild(const std::wstring& program, const std::wstring& arguments);

// A path of the build machine ("/home/x/y") as Wine sees it ("Z:\home\x\y"); a Windows path
// is returned as it is.
std::wstring HostPathToWindows(const std::string& path);

}  // namespace kestrova::test
