#include "repair/value_encoding.h"

#include <cstring>

#include "platform/text.h"

namespace kestrova {

namespace {

constexpr wchar_t kHexDigits[] = L"0123456789ABCDEF";
// A "\" follows the "," after every 25th byte (counting from 0: bytes 25, 50, 75...).
constexpr size_t kBytesPerMark = 25;

int HexDigitValue(wchar_t c) {
    if (c >= L'0' && c <= L'9') {
        return c - L'0';
    }
    if (c >= L'A' && c <= L'F') {
        return c - L'A' + 10;
    }
    if (c >= L'a' && c <= L'f') {
        return c - L'a' + 10;
    }
    return -1;
}

bool IsHighSurrogate(wchar_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(wchar_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// Length of the character XML can carry at text[i] (1 or 2 code units), or 0 when it cannot.
size_t CarriedLength(std::wstring_view text, size_t i) {
    const wchar_t c = text[i];
    // Tab, CR and LF too: a parser turns them into blanks in an attribute unless the writer
    // escaped them, so they are not trusted to come back.
    if (c < 0x20) {
        return 0;
    }
    if (c == 0xFFFE || c == 0xFFFF || IsLowSurrogate(c)) {
        return 0;
    }
    if (IsHighSurrogate(c)) {
        return i + 1 < text.size() && IsLowSurrogate(text[i + 1]) ? 2 : 0;
    }
    return 1;
}

// The stored text of a REG_SZ-like value when writing that text back (with its NUL) gives the
// same bytes: an even size, one NUL at the end and none before it.
std::optional<std::wstring> StoredText(const std::vector<BYTE>& data) {
    if (data.size() < sizeof(wchar_t) || data.size() % sizeof(wchar_t) != 0) {
        return std::nullopt;
    }
    std::wstring text(data.size() / sizeof(wchar_t), L'\0');
    std::memcpy(text.data(), data.data(), data.size());
    if (text.back() != L'\0') {
        return std::nullopt;
    }
    text.pop_back();
    if (text.find(L'\0') != std::wstring::npos) {
        return std::nullopt;
    }
    return text;
}

std::vector<BYTE> TextWithNul(const std::wstring& text) {
    std::vector<BYTE> bytes((text.size() + 1) * sizeof(wchar_t), 0);
    std::memcpy(bytes.data(), text.data(), text.size() * sizeof(wchar_t));
    return bytes;
}

}  // namespace

std::wstring DoubleBackslashes(std::wstring_view text) {
    std::wstring result;
    result.reserve(text.size());
    for (const wchar_t c : text) {
        result += c;
        if (c == L'\\') {
            result += L'\\';
        }
    }
    return result;
}

std::wstring UndoubleBackslashes(std::wstring_view text) {
    std::wstring result;
    result.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'\\') {
            result += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == L'\\') {
            result += L'\\';
            ++i;
        }
    }
    return result;
}

std::wstring DwordText(uint32_t value) {
    std::wstring text(8, L'0');
    for (int i = 7; i >= 0; --i) {
        text[static_cast<size_t>(i)] = kHexDigits[value & 0xF];
        value >>= 4;
    }
    return text;
}

uint32_t ParseDwordText(std::wstring_view text) {
    if (text.empty() || text.size() > 8) {
        return 0;
    }
    uint32_t value = 0;
    for (const wchar_t c : text) {
        const int digit = HexDigitValue(c);
        if (digit < 0) {
            return 0;
        }
        value = (value << 4) | static_cast<uint32_t>(digit);
    }
    return value;
}

std::wstring BinaryText(const std::vector<BYTE>& bytes) {
    std::wstring text;
    text.reserve(bytes.size() * 3 + bytes.size() / kBytesPerMark);
    for (size_t i = 0; i < bytes.size(); ++i) {
        text += kHexDigits[bytes[i] >> 4];
        text += kHexDigits[bytes[i] & 0xF];
        if (i + 1 < bytes.size()) {
            text += L',';
            if (i > 0 && i % kBytesPerMark == 0) {
                text += L'\\';
            }
        }
    }
    return text;
}

std::vector<BYTE> ParseBinaryText(std::wstring_view text) {
    std::vector<BYTE> bytes;
    if (text.empty()) {
        return bytes;
    }
    bytes.reserve(text.size() / 3 + 1);
    size_t start = 0;
    for (;;) {
        const size_t comma = text.find(L',', start);
        const std::wstring_view piece =
            text.substr(start, comma == std::wstring_view::npos ? text.npos : comma - start);
        int value = 0;
        bool valid = !piece.empty() && piece.size() <= 2;
        for (const wchar_t c : piece) {
            const int digit = HexDigitValue(c);
            valid = valid && digit >= 0;
            value = value * 16 + digit;
        }
        if (!valid) {
            throw ValueRecordError(L"'" + std::wstring(piece) + L"' is not a hexadecimal byte");
        }
        bytes.push_back(static_cast<BYTE>(value));
        if (comma == std::wstring_view::npos) {
            return bytes;
        }
        start = comma + 1;
    }
}

bool XmlCanCarry(std::wstring_view text) {
    for (size_t i = 0; i < text.size();) {
        const size_t length = CarriedLength(text, i);
        if (length == 0) {
            return false;
        }
        i += length;
    }
    return true;
}

std::wstring XmlShowable(std::wstring_view text) {
    std::wstring result;
    result.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const size_t length = CarriedLength(text, i);
        if (length == 0) {
            result += L'\xFFFD';
            ++i;
        } else {
            result.append(text.substr(i, length));
            i += length;
        }
    }
    return result;
}

EncodedValue EncodeValue(const RawValue& raw) {
    EncodedValue encoded;
    if (raw.type == REG_SZ || raw.type == REG_EXPAND_SZ) {
        const std::optional<std::wstring> text = StoredText(raw.data);
        if (text && XmlCanCarry(*text)) {
            encoded.type = kStringRecordType;
            encoded.value = DoubleBackslashes(*text);
            if (raw.type != REG_SZ) {
                encoded.registryType = raw.type;
            }
            return encoded;
        }
    } else if (raw.type == REG_DWORD && raw.data.size() == sizeof(uint32_t)) {
        uint32_t value = 0;
        std::memcpy(&value, raw.data.data(), sizeof(value));
        encoded.type = kIntegerRecordType;
        encoded.value = DwordText(value);
        return encoded;
    }
    // Exact bytes for everything else, text whose bytes the text form would change included.
    encoded.type = kBinaryRecordType;
    // Its "\" marks stay single: undoubling drops them on the way back.
    encoded.value = BinaryText(raw.data);
    if (raw.type != REG_BINARY) {
        encoded.registryType = raw.type;
    }
    return encoded;
}

std::optional<DWORD> ImpliedRegistryType(std::wstring_view recordType) {
    if (recordType == kStringRecordType) {
        return REG_SZ;
    }
    if (recordType == kIntegerRecordType) {
        return REG_DWORD;
    }
    if (recordType == kBinaryRecordType) {
        return REG_BINARY;
    }
    return std::nullopt;
}

std::optional<RawValue> DecodeValue(std::wstring_view recordType, std::wstring_view value,
                                    std::optional<DWORD> registryType) {
    const std::optional<DWORD> implied = ImpliedRegistryType(recordType);
    if (!implied) {
        return std::nullopt;
    }
    const std::wstring text = UndoubleBackslashes(value);
    RawValue raw;
    raw.type = registryType.value_or(*implied);
    if (*implied == REG_SZ) {
        raw.data = TextWithNul(text);
    } else if (*implied == REG_DWORD) {
        const uint32_t number = ParseDwordText(text);
        raw.data.resize(sizeof(number));
        std::memcpy(raw.data.data(), &number, sizeof(number));
    } else {
        raw.data = ParseBinaryText(text);
    }
    return raw;
}

std::wstring RegistryTypeText(DWORD type) {
    return std::to_wstring(type);
}

DWORD ParseRegistryTypeText(std::wstring_view text) {
    uint64_t value = 0;
    bool valid = !text.empty() && text.size() <= 10;
    for (const wchar_t c : text) {
        valid = valid && c >= L'0' && c <= L'9';
        value = value * 10 + static_cast<uint64_t>(c - L'0');
    }
    if (!valid || value > MAXDWORD) {
        throw ValueRecordError(L"'" + std::wstring(text) + L"' is not a registry type number");
    }
    return static_cast<DWORD>(value);
}

}  // namespace kestrova
