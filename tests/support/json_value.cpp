#include "support/json_value.h"

#include <cstdlib>

namespace kestrova::test {

namespace {

class Parser {
public:
    explicit Parser(const std::string& text) : text_(text) {}

    JsonValue Document() {
        JsonValue value = Value();
        SkipBlanks();
        if (at_ != text_.size()) {
            Fail("text after the value");
        }
        return value;
    }

private:
    [[noreturn]] void Fail(const std::string& what) const {
        throw JsonParseError(what + " at offset " + std::to_string(at_));
    }

    void SkipBlanks() {
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t' ||
                                      text_[at_] == '\r' || text_[at_] == '\n')) {
            ++at_;
        }
    }

    bool Take(char c) {
        SkipBlanks();
        if (at_ < text_.size() && text_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }

    void Expect(char c) {
        if (!Take(c)) {
            Fail(std::string("expected '") + c + "'");
        }
    }

    bool TakeWord(const char* word) {
        const std::string w = word;
        if (text_.compare(at_, w.size(), w) == 0) {
            at_ += w.size();
            return true;
        }
        return false;
    }

    JsonValue Value() {
        SkipBlanks();
        if (at_ >= text_.size()) {
            Fail("missing value");
        }
        const char c = text_[at_];
        if (c == '{') {
            return Object();
        }
        if (c == '[') {
            return Array();
        }
        if (c == '"') {
            return JsonValue{String()};
        }
        if (TakeWord("true")) {
            return JsonValue{true};
        }
        if (TakeWord("false")) {
            return JsonValue{false};
        }
        if (TakeWord("null")) {
            return JsonValue{nullptr};
        }
        return Number();
    }

    JsonValue Object() {
        Expect('{');
        JsonObject object;
        if (Take('}')) {
            return JsonValue{std::move(object)};
        }
        do {
            SkipBlanks();
            std::string name = String();
            Expect(':');
            object[name] = Value();
        } while (Take(','));
        Expect('}');
        return JsonValue{std::move(object)};
    }

    JsonValue Array() {
        Expect('[');
        JsonArray array;
        if (Take(']')) {
            return JsonValue{std::move(array)};
        }
        do {
            array.push_back(Value());
        } while (Take(','));
        Expect(']');
        return JsonValue{std::move(array)};
    }

    JsonValue Number() {
        const char* begin = text_.c_str() + at_;
        char* end = nullptr;
        const double value = std::strtod(begin, &end);
        if (end == begin) {
            Fail("not a value");
        }
        at_ += static_cast<size_t>(end - begin);
        return JsonValue{value};
    }

    void AppendUtf8(std::string& out, unsigned code) {
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }

    unsigned Hex4() {
        if (at_ + 4 > text_.size()) {
            Fail("short \\u escape");
        }
        const std::string digits = text_.substr(at_, 4);
        char* end = nullptr;
        const unsigned long code = std::strtoul(digits.c_str(), &end, 16);
        if (end != digits.c_str() + 4) {
            Fail("bad \\u escape");
        }
        at_ += 4;
        return static_cast<unsigned>(code);
    }

    std::string String() {
        if (at_ >= text_.size() || text_[at_] != '"') {
            Fail("expected a string");
        }
        ++at_;
        std::string out;
        for (;;) {
            if (at_ >= text_.size()) {
                Fail("unterminated string");
            }
            const char c = text_[at_++];
            if (c == '"') {
                return out;
            }
            if (static_cast<unsigned char>(c) < 0x20) {
                Fail("control character in a string");
            }
            if (c != '\\') {
                out += c;
                continue;
            }
            if (at_ >= text_.size()) {
                Fail("unterminated escape");
            }
            const char e = text_[at_++];
            switch (e) {
                case '"':
                case '\\':
                case '/':
                    out += e;
                    break;
                case 'b':
                    out += '\b';
                    break;
                case 'f':
                    out += '\f';
                    break;
                case 'n':
                    out += '\n';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'u': {
                    unsigned code = Hex4();
                    if (code >= 0xD800 && code < 0xDC00 && TakeWord("\\u")) {
                        code = 0x10000 + ((code - 0xD800) << 10) + (Hex4() - 0xDC00);
                    }
                    AppendUtf8(out, code);
                    break;
                }
                default:
                    Fail("unknown escape");
            }
        }
    }

    const std::string& text_;
    size_t at_ = 0;
};

}  // namespace

JsonValue ParseJson(const std::string& text) {
    return Parser(text).Document();
}

}  // namespace kestrova::test
