#include "support/reg_file_import.h"

#include <algorithm>
#include <cstring>
#include <cwctype>

#include "platform/text.h"
#include "platform/unique_handles.h"
#include "support/temp_folder.h"

namespace kestrova::test {

namespace {

struct RootName {
    const wchar_t* name;
    HKEY key;
};

const RootName kRoots[] = {
    {L"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},     {L"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
    {L"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},   {L"HKEY_USERS", HKEY_USERS},
    {L"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
};

bool StartsWithNoCase(const std::wstring& text, const std::wstring& prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (std::towupper(text[i]) != std::towupper(prefix[i])) {
            return false;
        }
    }
    return text.size() == prefix.size() || text[prefix.size()] == L'\\';
}

std::wstring JoinPath(const std::wstring& a, const std::wstring& b) {
    if (a.empty()) {
        return b;
    }
    return b.empty() ? a : a + L"\\" + b;
}

class Importer {
public:
    explicit Importer(const std::vector<RegKeyMapping>& mappings) : mappings_(mappings) {}

    RegImportCounts Run(const std::wstring& text) {
        std::vector<std::wstring> lines = SplitLines(text);
        for (size_t i = 0; i < lines.size(); ++i) {
            lineNumber_ = i + 1;
            std::wstring line = lines[i];
            // Hex data goes on over lines that end in "\".
            while (!line.empty() && line.back() == L'\\' && IsHexValueLine(line) &&
                   i + 1 < lines.size()) {
                line.pop_back();
                std::wstring next = lines[++i];
                next.erase(0, next.find_first_not_of(L" \t"));
                line += next;
            }
            try {
                ImportLine(line);
            } catch (const std::logic_error&) {  // a number stoul could not read
                Fail("bad number");
            }
        }
        return counts_;
    }

private:
    static std::vector<std::wstring> SplitLines(const std::wstring& text) {
        std::vector<std::wstring> lines;
        size_t start = 0;
        while (start <= text.size()) {
            size_t end = text.find(L'\n', start);
            if (end == std::wstring::npos) {
                end = text.size();
            }
            std::wstring line = text.substr(start, end - start);
            if (!line.empty() && line.back() == L'\r') {
                line.pop_back();
            }
            lines.push_back(std::move(line));
            start = end + 1;
        }
        return lines;
    }

    static bool IsHexValueLine(const std::wstring& line) {
        const size_t equals = NameEnd(line);
        return equals != std::wstring::npos && line.compare(equals + 1, 3, L"hex") == 0;
    }

    // The position of the "=" after a value's name, or npos when the line is no value.
    static size_t NameEnd(const std::wstring& line) {
        if (line.starts_with(L"@=")) {
            return 1;
        }
        if (!line.starts_with(L'"')) {
            return std::wstring::npos;
        }
        for (size_t i = 1; i < line.size(); ++i) {
            if (line[i] == L'\\') {
                ++i;
            } else if (line[i] == L'"') {
                return i + 1 < line.size() && line[i + 1] == L'=' ? i + 1 : std::wstring::npos;
            }
        }
        return std::wstring::npos;
    }

    [[noreturn]] void Fail(const std::string& what) const {
        throw RegFileError("line " + std::to_string(lineNumber_) + ": " + what);
    }

    void ImportLine(const std::wstring& line) {
        if (line.empty() || line.front() == L';' || line == L"REGEDIT4" ||
            line.starts_with(L"Windows Registry Editor Version") ||
            line.starts_with(L"\xFEFFWindows Registry Editor Version")) {
            return;
        }
        if (line.front() == L'[') {
            if (line.back() != L']') {
                Fail("key line without ]");
            }
            const bool remove = line.size() > 1 && line[1] == L'-';
            OpenKeyLine(line.substr(remove ? 2 : 1, line.size() - (remove ? 3 : 2)), remove);
            return;
        }
        const size_t equals = NameEnd(line);
        if (equals == std::wstring::npos) {
            Fail("not a key or value line");
        }
        if (!key_) {
            Fail("value outside a key");
        }
        const std::wstring name =
            line[0] == L'@' ? std::wstring() : Unescape(line.substr(1, equals - 2));
        WriteValue(name, line.substr(equals + 1));
    }

    void OpenKeyLine(const std::wstring& fullPath, bool remove) {
        key_.Reset();
        HKEY root = nullptr;
        std::wstring path;
        Resolve(fullPath, root, path);
        if (remove) {
            RegDeleteTreeW(root, path.c_str());
            RegDeleteKeyW(root, path.c_str());
            return;
        }
        if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                            nullptr, key_.Put(), nullptr) != ERROR_SUCCESS) {
            Fail("cannot create key " + ToUtf8(fullPath));
        }
        ++counts_.keys;
    }

    void Resolve(const std::wstring& fullPath, HKEY& root, std::wstring& path) const {
        for (const RegKeyMapping& mapping : mappings_) {
            if (StartsWithNoCase(fullPath, mapping.from)) {
                root = mapping.root;
                const std::wstring rest = fullPath.size() > mapping.from.size()
                                              ? fullPath.substr(mapping.from.size() + 1)
                                              : std::wstring();
                path = JoinPath(mapping.to, rest);
                return;
            }
        }
        for (const RootName& entry : kRoots) {
            if (StartsWithNoCase(fullPath, entry.name)) {
                root = entry.key;
                const size_t length = std::wstring(entry.name).size();
                path = fullPath.size() > length ? fullPath.substr(length + 1) : std::wstring();
                return;
            }
        }
        Fail("unknown root in " + ToUtf8(fullPath));
    }

    static std::wstring Unescape(const std::wstring& text) {
        std::wstring result;
        result.reserve(text.size());
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] == L'\\' && i + 1 < text.size()) {
                ++i;
            }
            result += text[i];
        }
        return result;
    }

    std::vector<BYTE> HexBytes(const std::wstring& text) const {
        std::vector<BYTE> bytes;
        size_t i = 0;
        while (i < text.size()) {
            if (text[i] == L',' || text[i] == L' ' || text[i] == L'\t') {
                ++i;
                continue;
            }
            size_t used = 0;
            unsigned long value = 0;
            try {
                value = std::stoul(text.substr(i, 2), &used, 16);
            } catch (const std::exception&) {
                Fail("bad hex data");
            }
            if (used == 0 || value > 0xFF) {
                Fail("bad hex data");
            }
            bytes.push_back(static_cast<BYTE>(value));
            i += used;
        }
        return bytes;
    }

    void WriteValue(const std::wstring& name, const std::wstring& data) {
        if (data == L"-") {
            RegDeleteValueW(key_.Get(), name.c_str());
            return;
        }
        DWORD type = REG_SZ;
        std::vector<BYTE> bytes;
        if (data.size() >= 2 && data.front() == L'"' && data.back() == L'"') {
            const std::wstring text = Unescape(data.substr(1, data.size() - 2));
            const BYTE* begin = reinterpret_cast<const BYTE*>(text.c_str());
            bytes.assign(begin, begin + (text.size() + 1) * sizeof(wchar_t));
        } else if (data.starts_with(L"dword:")) {
            type = REG_DWORD;
            const DWORD value = std::stoul(data.substr(6), nullptr, 16);
            const BYTE* begin = reinterpret_cast<const BYTE*>(&value);
            bytes.assign(begin, begin + sizeof(value));
        } else if (data.starts_with(L"hex:")) {
            type = REG_BINARY;
            bytes = HexBytes(data.substr(4));
        } else if (data.starts_with(L"hex(")) {
            const size_t close = data.find(L"):");
            if (close == std::wstring::npos) {
                Fail("bad hex(N) type");
            }
            type = std::stoul(data.substr(4, close - 4), nullptr, 16);
            bytes = HexBytes(data.substr(close + 2));
        } else {
            Fail("unknown data");
        }
        if (RegSetValueExW(key_.Get(), name.c_str(), 0, type,
                           bytes.empty() ? nullptr : bytes.data(),
                           static_cast<DWORD>(bytes.size())) != ERROR_SUCCESS) {
            Fail("cannot write value " + ToUtf8(name));
        }
        ++counts_.values;
    }

    const std::vector<RegKeyMapping>& mappings_;
    UniqueHKey key_;
    RegImportCounts counts_;
    size_t lineNumber_ = 0;
};

}  // namespace

RegImportCounts ImportRegText(const std::wstring& text,
                              const std::vector<RegKeyMapping>& mappings) {
    return Importer(mappings).Run(text);
}

namespace {

// The text of a .reg file of either encoding.
std::wstring RegFileText(const std::wstring& path) {
    const std::string bytes = ReadFileBytes(path);
    std::wstring text;
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        text.resize((bytes.size() - 2) / sizeof(wchar_t));
        std::memcpy(text.data(), bytes.data() + 2, text.size() * sizeof(wchar_t));
    } else {
        text = FromUtf8(bytes);
    }
    return text;
}

std::wstring Lowered(std::wstring text) {
    CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

}  // namespace

RegImportCounts ImportRegFile(const std::wstring& path,
                              const std::vector<RegKeyMapping>& mappings) {
    return ImportRegText(RegFileText(path), mappings);
}

std::wstring RegTextOfKeys(const std::wstring& path, const std::vector<std::wstring>& keyPaths) {
    const std::wstring text = RegFileText(path);
    std::wstring kept = L"Windows Registry Editor Version 5.00\r\n\r\n";
    bool keeping = false;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(L'\n', start);
        end = end == std::wstring::npos ? text.size() : end + 1;
        const std::wstring line = text.substr(start, end - start);
        if (!line.empty() && line[0] == L'[') {
            const std::wstring key = Lowered(line.substr(1, line.find(L']') - 1) + L"\\");
            keeping =
                std::any_of(keyPaths.begin(), keyPaths.end(), [&](const std::wstring& keyPath) {
                    return key.find(Lowered(keyPath + L"\\")) != std::wstring::npos;
                });
        }
        if (keeping) {
            kept += line;
        }
        start = end;
    }
    return kept;
}

}  // namespace kestrova::test
