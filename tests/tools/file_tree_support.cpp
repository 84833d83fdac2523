#include "file_tree_support.h"

#include <stdexcept>

#include "platform/text.h"
#include "platform/unique_handles.h"

namespace kestrova::test {

void MakeFolders(const std::wstring& folder) {
    for (size_t at = folder.find(L'\\', 3); at != std::wstring::npos;
         at = folder.find(L'\\', at + 1)) {
        CreateDirectoryW(folder.substr(0, at).c_str(), nullptr);
    }
    CreateDirectoryW(folder.c_str(), nullptr);
}

void MakeFile(const std::wstring& path, const std::string& bytes, DWORD attributes) {
    MakeFolders(path.substr(0, path.rfind(L'\\')));
    UniqueKernelHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!file ||
        !WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size()) {
        throw std::runtime_error("cannot write " + ToUtf8(path));
    }
    file.Reset();
    if (attributes != FILE_ATTRIBUTE_NORMAL) {
        SetFileAttributesW(path.c_str(), attributes);
    }
}

void MakeSparseFile(const std::wstring& path, uint64_t size) {
    UniqueKernelHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size);
    if (!file || !SetFilePointerEx(file.Get(), end, nullptr, FILE_BEGIN) ||
        !SetEndOfFile(file.Get())) {
        throw std::runtime_error("cannot make the sparse file " + ToUtf8(path));
    }
}

void SetLocalFileTimes(const std::wstring& path, int year, int month, int day, int hour, int minute,
                       int second) {
    SYSTEMTIME local = {};
    local.wYear = static_cast<WORD>(year);
    local.wMonth = static_cast<WORD>(month);
    local.wDay = static_cast<WORD>(day);
    local.wHour = static_cast<WORD>(hour);
    local.wMinute = static_cast<WORD>(minute);
    local.wSecond = static_cast<WORD>(second);
    FILETIME localTime = {};
    FILETIME utc = {};
    SystemTimeToFileTime(&local, &localTime);
    LocalFileTimeToFileTime(&localTime, &utc);
    UniqueKernelHandle file(CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                        nullptr));
    if (!file || !SetFileTime(file.Get(), &utc, &utc, &utc)) {
        throw std::runtime_error("cannot set the times of " + ToUtf8(path));
    }
}

std::string HostPath(const std::wstring& windowsPath) {
    using GetUnixFileName = char*(CDECL*)(const wchar_t*);
    const auto get = reinterpret_cast<GetUnixFileName>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* unixPath = get ? get(windowsPath.c_str()) : nullptr;
    if (!unixPath) {
        throw std::runtime_error("no Linux path for " + ToUtf8(windowsPath));
    }
    std::string path = unixPath;
    HeapFree(GetProcessHeap(), 0, unixPath);
    return path;
}

DWORD RunHostProgram(const std::string& program, const std::vector<std::string>& arguments) {
    std::wstring commandLine = L"\"" + FromUtf8(program) + L"\"";
    for (const std::string& argument : arguments) {
        commandLine += L" \"" + FromUtf8(argument) + L"\"";
    }
    std::wstring windowsProgram = L"Z:" + FromUtf8(program);
    for (wchar_t& c : windowsProgram) {
        c = c == L'/' ? L'\\' : c;
    }
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(windowsProgram.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                        nullptr, nullptr, &startup, &process)) {
        throw std::runtime_error("cannot start " + program);
    }
    UniqueKernelHandle processHandle(process.hProcess);
    UniqueKernelHandle threadHandle(process.hThread);
    WaitForSingleObject(processHandle.Get(), INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(processHandle.Get(), &code);
    return code;
}

namespace {

// A Linux program started from Wine may still run when its process handle says it ended:
// wait (up to 10 s) until what it made or removed shows.
bool WaitForPath(const std::wstring& path, bool present) {
    const ULONGLONG until = GetTickCount64() + 10000;
    for (;;) {
        if ((GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) == present) {
            return true;
        }
        if (GetTickCount64() > until) {
            return false;
        }
        Sleep(5);
    }
}

}  // namespace

void MakeHostLink(const std::wstring& target, const std::wstring& link) {
    const std::string linkFolder = HostPath(link.substr(0, link.rfind(L'\\')));
    const std::string linkPath = linkFolder + "/" + ToUtf8(link.substr(link.rfind(L'\\') + 1));
    if (RunHostProgram("/bin/ln", {"-s", HostPath(target), linkPath}) != 0 ||
        !WaitForPath(link, true)) {
        throw std::runtime_error("cannot make the link " + linkPath);
    }
}

void RemoveHostLink(const std::wstring& link) {
    RunHostProgram("/bin/rm", {"-f", HostPath(link)});
    WaitForPath(link, false);
}

std::vector<std::wstring> SearchLog::Files() const {
    std::vector<std::wstring> files;
    for (const std::wstring& event : events) {
        if (event.starts_with(L"file ")) {
            files.push_back(event.substr(5));
        }
    }
    return files;
}

void SearchLog::Attach(FindFile& search) {
    search.onSearchBegin = [this](FindFile&) { events.push_back(L"begin"); };
    search.onSearchFinish = [this](FindFile&) { events.push_back(L"finish"); };
    search.onSearchAbort = [this](FindFile&) { events.push_back(L"abort"); };
    search.onFolderChange = [this](FindFile&, const std::wstring& folder, FolderIgnore&) {
        events.push_back(L"folder " + folder);
    };
    search.onFileMatch = [this](FindFile&, const std::wstring& folder, const FoundFile& entry) {
        events.push_back(L"file " + folder + entry.name);
    };
}

std::vector<std::wstring> SearchFiles(const SearchCriteria& criteria) {
    FindFile search;
    search.SetCriteria(criteria);
    SearchLog log;
    log.Attach(search);
    search.Execute();
    return log.Files();
}

}  // namespace kestrova::test
