#pragma once
// The content criterion of the file search: a phrase looked for in a file's bytes, read in
// blocks through a 256-entry byte map (lower-case or identity), optionally as a whole word.

#include <cstddef>
#include <cstdint>
#include <string>

namespace kestrova {

// The largest block read at a time; a longer phrase gets a block one byte longer than itself.
inline constexpr size_t kContentBufferSize = 61440;

// The byte maps and the word-delimiter set, built once from the system's ANSI rules.
const uint8_t* IdentityByteMap();
const uint8_t* LowerCaseByteMap();   // CharLowerBuffA of every byte
bool IsWordDelimiter(uint8_t byte);  // not a letter or digit to IsCharAlphaNumericA; 0 too

class ContentCriteria {
public:
    const std::wstring& Phrase() const { return phrase_; }
    void SetPhrase(std::wstring phrase);
    bool IgnoreCase() const { return ignoreCase_; }
    void SetIgnoreCase(bool ignoreCase);

    bool wholeWord = false;

    // The phrase in the ANSI code page as compared: letters A to Z lowered with IgnoreCase.
    const std::string& ComparedPhrase() const { return compared_; }
    size_t PhraseLength() const { return compared_.size(); }
    // What file bytes pass through before they are compared.
    const uint8_t* ByteMap() const { return map_; }
    // The block size used for a file of this size.
    size_t BufferSizeFor(uint64_t fileSize) const;

    // True at once for an empty phrase; otherwise whether the file holds the phrase. A file
    // that cannot be opened or read does not match.
    bool Matches(const std::wstring& path) const;
    // Throws Error when the file cannot be opened or read.
    bool FileContainsPhrase(const std::wstring& path) const;

private:
    void Prepare();

    std::wstring phrase_;
    bool ignoreCase_ = true;
    std::string compared_;
    const uint8_t* map_ = LowerCaseByteMap();
};

}  // namespace kestrova
