#include "cli/console_output.h"

#include <windows.h>

#include <algorithm>

#include "platform/text.h"

namespace kestrova::cli {

namespace {

void WriteBytes(DWORD stream, std::string_view bytes) {
    const HANDLE handle = GetStdHandle(stream);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) {
        return;
    }
    // Large reports are written in pieces; a pipe or console may take less than asked.
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1 << 20));
        DWORD written = 0;
        if (!WriteFile(handle, bytes.data(), chunk, &written, nullptr) || written == 0) {
            return;
        }
        bytes.remove_prefix(written);
    }
}

}  // namespace

void PrepareConsoleOutput() {
    SetConsoleOutputCP(CP_UTF8);
}

void WriteOut(std::string_view utf8) {
    WriteBytes(STD_OUTPUT_HANDLE, utf8);
}

void WriteOut(std::wstring_view text) {
    WriteBytes(STD_OUTPUT_HANDLE, ToUtf8(text));
}

void WriteErr(std::wstring_view text) {
    WriteBytes(STD_ERROR_HANDLE, ToUtf8(text));
}

}  // namespace kestrova::cli
