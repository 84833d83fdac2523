#pragma once
// A small writer of compact JSON text in UTF-8, enough for the front end's reports.

#include <string>
#include <string_view>
#include <vector>

namespace kestrova::cli {

class JsonWriter {
public:
    void BeginObject();
    void EndObject();
    void BeginArray();
    void EndArray();
    // The name of the next member of the object in hand.
    void Key(std::wstring_view name);
    void String(std::wstring_view text);
    void Bool(bool value);
    void Int(long long value);

    const std::string& Text() const { return text_; }

private:
    void BeforeValue();

    std::string text_;
    // Per open object or array: whether a value was written into it yet.
    std::vector<bool> hasValue_;
    bool afterKey_ = false;
};

// text as a JSON string literal, quotes included.
std::string JsonQuote(std::wstring_view text);

}  // namespace kestrova::cli
