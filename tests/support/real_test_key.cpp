#include "support/real_test_key.h"

#include <atomic>
#include <stdexcept>

#include "support/temp_folder.h"

namespace kestrova::test {

namespace {

const wchar_t kParent[] = L"Software\\KestrovaRegeditTest";
std::atomic<int> keyCounter{0};

}  // namespace

RealTestKey::RealTestKey(const std::wstring& name) {
    const std::wstring path = std::wstring(kParent) + L"\\" + name + L"-" +
                              std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(++keyCounter);
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        throw std::runtime_error("cannot create a test key under HKEY_CURRENT_USER");
    }
    RegCloseKey(key);
    key_ = {HKEY_CURRENT_USER, L"\\" + path};
}

RealTestKey::~RealTestKey() {
    RegDeleteTreeW(HKEY_CURRENT_USER, key_.path.substr(1).c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, kParent);  // only goes when no other test uses it
}

std::wstring ReadRegFile(const std::wstring& path) {
    const std::string bytes = ReadFileBytes(path);
    if (bytes.size() < 2 || bytes.size() % 2 != 0 || bytes[0] != '\xFF' || bytes[1] != '\xFE') {
        throw std::runtime_error("not a UTF-16LE file with a byte-order mark");
    }
    std::wstring text((bytes.size() - 2) / 2, L'\0');
    for (size_t i = 0; i < text.size(); ++i) {
        text[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 + 2 * i]) |
                                       (static_cast<unsigned char>(bytes[3 + 2 * i]) << 8));
    }
    return text;
}

void WriteRegFile(const std::wstring& path, const std::wstring& text) {
    std::string bytes = "\xFF\xFE";
    for (const wchar_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>((c >> 8) & 0xFF);
    }
    WriteFileBytes(path, bytes);
}

std::wstring RegFileHeader() {
    return L"Windows Registry Editor Version 5.00\r\n\r\n";
}

std::wstring RegSectionsOf(const std::wstring& exportText, const std::wstring& key) {
    std::wstring kept = RegFileHeader();
    bool keeping = false;
    size_t start = 0;
    while (start < exportText.size()) {
        size_t end = exportText.find(L"\r\n", start);
        end = end == std::wstring::npos ? exportText.size() : end + 2;
        const std::wstring line = exportText.substr(start, end - start);
        if (!line.empty() && line[0] == L'[') {
            const std::wstring opening = L"[" + key;
            keeping = line.compare(0, opening.size(), opening) == 0 &&
                      (line[opening.size()] == L']' || line[opening.size()] == L'\\');
        }
        if (keeping) {
            kept += line;
        }
        start = end;
    }
    return kept;
}

}  // namespace kestrova::test
