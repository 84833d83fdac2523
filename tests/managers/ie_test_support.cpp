#include "ie_test_support.h"

#include <windows.h>

#include <stdexcept>

#include "platform/text.h"
#include "repair_test_support.h"
#include "support/child_process.h"
#include "support/temp_folder.h"

namespace kestrova::test {

namespace {

// Wine's own export that names the Linux file behind a Windows path; absent on Windows.
using UnixFileName = char*(CDECL*)(const wchar_t*);

UnixFileName WineUnixFileName() {
    return reinterpret_cast<UnixFileName>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name"));
}

std::string UnixPath(UnixFileName convert, const std::wstring& path) {
    char* name = convert(path.c_str());
    if (name == nullptr) {
        throw std::runtime_error("no Linux path for " + ToUtf8(path));
    }
    std::string text = name;
    HeapFree(GetProcessHeap(), 0, name);
    return text;
}

// Starts a Linux program (Wine starts it like any other); fails when it cannot be started.
void RunLinux(const std::wstring& program, const std::string& arguments) {
    const ChildResult result = RunChild(L"Z:\\bin\\" + program, FromUtf8(arguments));
    if (result.exitCode != 0) {
        throw std::runtime_error(ToUtf8(program) + " " + arguments + ": " + result.err);
    }
}

// Wine reports a Linux program ended as soon as it has started it: what the program does
// shows a moment later. Waits until it shows, for ten seconds at most.
template <typename Condition>
void WaitFor(Condition done) {
    for (int i = 0; i < 1000 && !done(); ++i) {
        Sleep(10);
    }
}

}  // namespace

RawValue Text(const std::wstring& text) {
    return RawOf(REG_SZ, Utf16Bytes(text));
}

void MakeTree(const std::wstring& folder, const std::vector<std::wstring>& entries) {
    CreateDirectoryW(folder.c_str(), nullptr);
    for (const std::wstring& entry : entries) {
        // Every folder on the way, then the entry itself.
        for (size_t slash = entry.find(L'\\'); slash != std::wstring::npos;
             slash = entry.find(L'\\', slash + 1)) {
            CreateDirectoryW((folder + entry.substr(0, slash)).c_str(), nullptr);
        }
        if (entry.back() != L'\\') {
            WriteFileBytes(folder + entry, ToUtf8(entry));
        }
    }
}

FolderLink::FolderLink(const std::wstring& link, const std::wstring& target) : link_(link) {
    if (const UnixFileName convert = WineUnixFileName()) {
        const size_t slash = link.find_last_of(L'\\');
        unixLink_ = UnixPath(convert, link.substr(0, slash)) + "/" + ToUtf8(link.substr(slash + 1));
        RunLinux(L"ln", "-s " + UnixPath(convert, target) + " " + unixLink_);
        WaitFor([this] { return Made(); });
    } else {
        CreateSymbolicLinkW(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY);
    }
}

FolderLink::~FolderLink() {
    try {
        if (!unixLink_.empty()) {
            RunLinux(L"rm", "-f " + unixLink_);
            WaitFor(
                [this] { return GetFileAttributesW(link_.c_str()) == INVALID_FILE_ATTRIBUTES; });
        } else {
            RemoveDirectoryW(link_.c_str());
        }
    } catch (...) {
        // The temporary folder goes all the same.
    }
}

bool FolderLink::Made() const {
    const DWORD attributes = GetFileAttributesW(link_.c_str());
    const DWORD link = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & link) == link;
}

}  // namespace kestrova::test
