#include "tools/search_criteria_content.h"

#include <windows.h>

#include <array>
#include <cstring>
#include <exception>
#include <vector>

#include "platform/error.h"
#include "platform/unique_handles.h"

namespace kestrova {

namespace {

struct ByteTables {
    std::array<uint8_t, 256> identity;
    std::array<uint8_t, 256> lower;
    std::array<bool, 256> delimiter;

    ByteTables() {
        for (int b = 0; b < 256; ++b) {
            identity[b] = static_cast<uint8_t>(b);
            char c = static_cast<char>(b);
            CharLowerBuffA(&c, 1);
            lower[b] = static_cast<uint8_t>(c);
            delimiter[b] = b == 0 || !IsCharAlphaNumericA(static_cast<CHAR>(b));
        }
    }
};

const ByteTables& Tables() {
    static const ByteTables tables;
    return tables;
}

std::string ToAnsi(const std::wstring& text) {
    if (text.empty()) {
        return std::string();
    }
    const int size = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), ansi.data(), size,
                        nullptr, nullptr);
    return ansi;
}

[[noreturn]] void ThrowFileError(const std::wstring& path) {
    const DWORD code = GetLastError();
    throw Error(L"cannot read " + path + L": " + SystemErrorText(code));
}

// Looks for the phrase in one file, block by block. A partial match at a block's end is moved
// to the block's start and the rest of the block refilled behind it.
enum class ScanResult { Found, NotFound, ReadFailed };

class PhraseScanner {
public:
    PhraseScanner(const std::string& phrase, const uint8_t* map, bool wholeWord)
        : phrase_(reinterpret_cast<const uint8_t*>(phrase.data())),
          length_(phrase.size()),
          map_(map),
          wholeWord_(wholeWord) {
        for (int b = 0; b < 256; ++b) {
            firstCandidates_ += map_[b] == phrase_[0] ? 1 : 0;
            if (map_[b] == phrase_[0]) {
                firstByte_ = static_cast<uint8_t>(b);
            }
        }
    }

    ScanResult Run(HANDLE file, uint64_t fileSize, size_t bufferSize) {
        std::vector<uint8_t> buffer(bufferSize);
        size_t filled = 0;
        uint64_t total = 0;
        uint8_t before = 0;  // the byte ahead of buffer[0]; 0 at the start of the file
        for (;;) {
            bool atEnd = false;
            while (filled < buffer.size()) {
                DWORD read = 0;
                const DWORD wanted = static_cast<DWORD>(buffer.size() - filled);
                if (!ReadFile(file, buffer.data() + filled, wanted, &read, nullptr)) {
                    return ScanResult::ReadFailed;
                }
                filled += read;
                total += read;
                if (read == 0) {
                    atEnd = true;
                    break;
                }
            }
            atEnd = atEnd || total >= fileSize;
            size_t keepFrom = filled;
            if (Scan(buffer.data(), filled, before, atEnd, keepFrom)) {
                return ScanResult::Found;
            }
            if (atEnd) {
                return ScanResult::NotFound;
            }
            before = keepFrom > 0 ? buffer[keepFrom - 1] : before;
            std::memmove(buffer.data(), buffer.data() + keepFrom, filled - keepFrom);
            filled -= keepFrom;
        }
    }

private:
    bool SameFrom(const uint8_t* at, size_t count) const {
        for (size_t k = 1; k < count; ++k) {
            if (map_[at[k]] != phrase_[k]) {
                return false;
            }
        }
        return true;
    }

    // The next position from i on whose byte maps to the phrase's first byte, or end.
    size_t NextCandidate(const uint8_t* data, size_t i, size_t end) const {
        if (firstCandidates_ == 1) {
            const void* found = std::memchr(data + i, firstByte_, end - i);
            return found ? static_cast<size_t>(static_cast<const uint8_t*>(found) - data) : end;
        }
        while (i < end && map_[data[i]] != phrase_[0]) {
            ++i;
        }
        return i;
    }

    // Looks through data[0, filled). Sets keepFrom to where an unfinished match begins (one
    // that the next block may complete), or to filled when there is none.
    bool Scan(const uint8_t* data, size_t filled, uint8_t before, bool atEnd,
              size_t& keepFrom) const {
        keepFrom = filled;
        for (size_t i = NextCandidate(data, 0, filled); i < filled;
             i = NextCandidate(data, i + 1, filled)) {
            const size_t available = filled - i;
            if (available < length_) {
                if (!atEnd && SameFrom(data + i, available)) {
                    keepFrom = i;
                    return false;
                }
                continue;
            }
            if (!SameFrom(data + i, length_)) {
                continue;
            }
            if (!wholeWord_) {
                return true;
            }
            const uint8_t previous = i > 0 ? data[i - 1] : before;
            if (!IsWordDelimiter(previous)) {
                continue;
            }
            if (available == length_) {
                if (atEnd) {
                    return true;
                }
                keepFrom = i;  // the byte after it is in the next block
                return false;
            }
            if (IsWordDelimiter(data[i + length_])) {
                return true;
            }
        }
        return false;
    }

    const uint8_t* phrase_;
    size_t length_;
    const uint8_t* map_;
    bool wholeWord_;
    int firstCandidates_ = 0;
    uint8_t firstByte_ = 0;
};

}  // namespace

const uint8_t* IdentityByteMap() {
    return Tables().identity.data();
}

const uint8_t* LowerCaseByteMap() {
    return Tables().lower.data();
}

bool IsWordDelimiter(uint8_t byte) {
    return Tables().delimiter[byte];
}

void ContentCriteria::SetPhrase(std::wstring phrase) {
    phrase_ = std::move(phrase);
    Prepare();
}

void ContentCriteria::SetIgnoreCase(bool ignoreCase) {
    ignoreCase_ = ignoreCase;
    Prepare();
}

void ContentCriteria::Prepare() {
    compared_ = ToAnsi(phrase_);
    if (ignoreCase_) {
        for (char& c : compared_) {
            if (c >= 'A' && c <= 'Z') {
                c = static_cast<char>(c - 'A' + 'a');
            }
        }
    }
    map_ = ignoreCase_ ? LowerCaseByteMap() : IdentityByteMap();
}

size_t ContentCriteria::BufferSizeFor(uint64_t fileSize) const {
    if (fileSize <= kContentBufferSize) {
        return static_cast<size_t>(fileSize);
    }
    return PhraseLength() > kContentBufferSize ? PhraseLength() + 1 : kContentBufferSize;
}

bool ContentCriteria::Matches(const std::wstring& path) const {
    if (compared_.empty()) {
        return true;
    }
    try {
        return FileContainsPhrase(path);
    } catch (const std::exception&) {
        return false;  // unreadable files simply do not match
    }
}

bool ContentCriteria::FileContainsPhrase(const std::wstring& path) const {
    UniqueKernelHandle file(CreateFileW(
        path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) {
        ThrowFileError(path);
    }
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file.Get(), &size)) {
        ThrowFileError(path);
    }
    const uint64_t fileSize = static_cast<uint64_t>(size.QuadPart);
    if (compared_.empty()) {
        return true;
    }
    if (fileSize < PhraseLength()) {
        return false;
    }
    PhraseScanner scanner(compared_, map_, wholeWord);
    const ScanResult result = scanner.Run(file.Get(), fileSize, BufferSizeFor(fileSize));
    if (result == ScanResult::ReadFailed) {
        ThrowFileError(path);
    }
    return result == ScanResult::Found;
}

}  // namespace kestrova
