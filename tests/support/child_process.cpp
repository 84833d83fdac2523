#include "support/child_process.h"

#include <stdexcept>
#include <thread>

#include "platform/text.h"
#include "platform/unique_handles.h"

namespace kestrova::test {

namespace {

void ReadAll(HANDLE pipe, std::string& into) {
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(pipe, buffer, sizeof(buffer), &read, nullptr) && read > 0) {
        into.append(buffer, read);
    }
}

void MakePipe(UniqueKernelHandle& readEnd, UniqueKernelHandle& writeEnd) {
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE read = nullptr;
    HANDLE write = nullptr;
    if (!CreatePipe(&read, &write, &inherit, 0)) {
        throw std::runtime_error("cannot create a pipe");
    }
    readEnd.Reset(read);
    writeEnd.Reset(write);
    SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);  // only the child's ends are inherited
}

}  // namespace

ChildResult RunChild(const std::wstring& program, const std::wstring& arguments) {
    UniqueKernelHandle outRead, outWrite, errRead, errWrite;
    MakePipe(outRead, outWrite);
    MakePipe(errRead, errWrite);

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = outWrite.Get();
    startup.hStdError = errWrite.Get();
    std::wstring commandLine = L"\"" + program + L"\" " + arguments;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                        CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process)) {
        throw std::runtime_error("cannot start " + ToUtf8(program));
    }
    UniqueKernelHandle processHandle(process.hProcess);
    UniqueKernelHandle threadHandle(process.hThread);
    // The parent's copies of the write ends must go, or the reads never see the end.
    outWrite.Reset();
    errWrite.Reset();

    ChildResult result;
    std::thread errReader([&] { ReadAll(errRead.Get(), result.err); });
    ReadAll(outRead.Get(), result.out);
    errReader.join();
    WaitForSingleObject(processHandle.Get(), INFINITE);
    GetExitCodeProcess(processHandle.Get(), &result.exitCode);
    return result;
}

RunningChild::RunningChild(const std::wstring& program, const std::wstring& arguments) {
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    UniqueKernelHandle nul(CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING,
                                       0, nullptr));
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nul.Get();
    startup.hStdOutput = nul.Get();
    startup.hStdError = nul.Get();
    std::wstring commandLine = L"\"" + program + L"\" " + arguments;
    PROCESS_INFORMATION process = {};
    if (!nul || !CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process)) {
        throw std::runtime_error("cannot start " + ToUtf8(program));
    }
    UniqueKernelHandle thread(process.hThread);
    process_.Reset(process.hProcess);
}

RunningChild::~RunningChild() {
    if (!WaitFor(0)) {
        Kill();
    }
}

bool RunningChild::WaitFor(DWORD milliseconds) const {
    return WaitForSingleObject(process_.Get(), milliseconds) == WAIT_OBJECT_0;
}

void RunningChild::Kill() {
    TerminateProcess(process_.Get(), 9);
    WaitForSingleObject(process_.Get(), INFINITE);
}

DWORD RunningChild::ExitCode() const {
    DWORD code = 0;
    GetExitCodeProcess(process_.Get(), &code);
    return code;
}

std::wstring HostPathToWindows(const std::string& path) {
    std::wstring windows = FromUtf8(path);
    if (windows.starts_with(L'/')) {
        for (wchar_t& c : windows) {
            if (c == L'/') {
                c = L'\\';
            }
        }
        windows = L"Z:" + windows;
    }
    return windows;
}

}  // namespace kestrova::test
