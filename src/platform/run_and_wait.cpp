#include "platform/run_and_wait.h"

#include <vector>

#include "platform/unique_handles.h"

namespace kestrova {

bool RunAndWait(const std::wstring& programFile, const std::wstring& commandLine, int showMode,
                const std::wstring& workingFolder, DWORD& exitCode) {
    // The file name is quoted so a path with blanks stays one word; CreateProcessW may
    // write into the command line, hence the copy.
    const std::wstring line = L"\"" + programFile + L"\" " + commandLine;
    std::vector<wchar_t> buffer(line.begin(), line.end());
    buffer.push_back(L'\0');

    STARTUPINFOW startup = {sizeof(startup)};
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(showMode);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS,
                        nullptr, workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup,
                        &process)) {
        return false;
    }
    const UniqueKernelHandle processHandle(process.hProcess);
    const UniqueKernelHandle threadHandle(process.hThread);
    WaitForSingleObject(processHandle.Get(), INFINITE);
    if (!GetExitCodeProcess(processHandle.Get(), &exitCode)) {
        exitCode = 0;
    }
    return true;
}

bool RunAndWait(const std::wstring& programFile, const std::wstring& commandLine, int showMode,
                const std::wstring& workingFolder) {
    DWORD exitCode = 0;
    return RunAndWait(programFile, commandLine, showMode, workingFolder, exitCode);
}

}  // namespace kestrova
