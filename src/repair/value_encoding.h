#pragma once
// The text form of registry data in the restore history (Backup.xml): how a value's type and
// bytes become the TYPE, VALUE and REGTYPE attributes of a value record, and back.
//
// TYPE is "rdString", "rdInteger" or "rdBinary". Each implies a registry type (REG_SZ,
// REG_DWORD, REG_BINARY); a value of any other type carries its type number in REGTYPE, so
// REG_EXPAND_SZ, REG_MULTI_SZ, REG_QWORD, REG_NONE and the rest come back as they were.
// Records without REGTYPE (older files) are read with the implied type.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"

namespace kestrova {

inline constexpr wchar_t kStringRecordType[] = L"rdString";
inline constexpr wchar_t kIntegerRecordType[] = L"rdInteger";
inline constexpr wchar_t kBinaryRecordType[] = L"rdBinary";

// A value record that cannot be written back: its VALUE text is not data (a binary piece that
// is not a byte), its REGTYPE is not a type number, or its key cannot be made.
class ValueRecordError : public Error {
public:
    explicit ValueRecordError(const std::wstring& message) : Error(message) {}
};

// Every "\" doubled: "\\server" becomes "\\\\server".
std::wstring DoubleBackslashes(std::wstring_view text);
// Left to right: "\\" gives "\", a "\" not followed by another is dropped, the rest is kept.
std::wstring UndoubleBackslashes(std::wstring_view text);

// Exactly 8 upper-case hexadecimal digits: 16 gives "00000010".
std::wstring DwordText(uint32_t value);
// 1 to 8 hexadecimal digits in either case; any other text gives 0.
uint32_t ParseDwordText(std::wstring_view text);

// Bytes as upper-case hex pairs joined by ","; after the "," that follows byte 25, 50, 75...
// (counting from 0) a "\" is added, so long data reads in lines as the registry editor's does.
std::wstring BinaryText(const std::vector<BYTE>& bytes);
// The pieces between "," as hexadecimal bytes (the "\" marks already removed); the empty text
// gives no bytes. Throws ValueRecordError for a piece that is not 1 or 2 hex digits.
std::vector<BYTE> ParseBinaryText(std::wstring_view text);

// True when an XML attribute can carry the text and give it back unchanged: no control
// characters (tab, CR and LF included: an attribute may give them back as blanks), no
// unpaired surrogates, no U+FFFE or U+FFFF.
bool XmlCanCarry(std::wstring_view text);
// The text with every character that XML cannot carry replaced by U+FFFD, for labels that are
// only shown.
std::wstring XmlShowable(std::wstring_view text);

// A value as its record's TYPE, VALUE (as stored: a text's backslashes doubled, binary text
// with its single "\" marks) and, when the registry type is not the one TYPE implies, REGTYPE.
struct EncodedValue {
    std::wstring type;
    std::wstring value;
    std::optional<DWORD> registryType;

    friend bool operator==(const EncodedValue&, const EncodedValue&) = default;
};

// Text types whose stored text XML can carry (one NUL at the end and none before it) become
// "rdString"; a 4-byte REG_DWORD "rdInteger"; everything else "rdBinary" with its exact bytes.
EncodedValue EncodeValue(const RawValue& raw);

// The type implied by a TYPE text: REG_SZ, REG_DWORD, REG_BINARY; none for any other text.
std::optional<DWORD> ImpliedRegistryType(std::wstring_view recordType);

// The data of a record as registry type and bytes. `value` is the VALUE text as stored (its
// doubling is undone here). Gives no value for a TYPE other than the three: such a record
// writes nothing. Throws ValueRecordError for binary text that is not bytes.
std::optional<RawValue> DecodeValue(std::wstring_view recordType, std::wstring_view value,
                                    std::optional<DWORD> registryType);

// REGTYPE's text: the type number in decimal.
std::wstring RegistryTypeText(DWORD type);
// Throws ValueRecordError unless the text is a decimal number of at most 32 bits.
DWORD ParseRegistryTypeText(std::wstring_view text);

}  // namespace kestrova
