#include "cli/json_writer.h"

#include <cstdio>

#include "platform/text.h"

namespace kestrova::cli {

std::string JsonQuote(std::wstring_view text) {
    std::string quoted = "\"";
    for (const char c : ToUtf8(text)) {
        switch (c) {
            case '"':
                quoted += "\\\"";
                break;
            case '\\':
                quoted += "\\\\";
                break;
            case '\b':
                quoted += "\\b";
                break;
            case '\f':
                quoted += "\\f";
                break;
            case '\n':
                quoted += "\\n";
                break;
            case '\r':
                quoted += "\\r";
                break;
            case '\t':
                quoted += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escape[8];
                    std::snprintf(escape, sizeof(escape), "\\u%04x", static_cast<unsigned>(c));
                    quoted += escape;
                } else {
                    quoted += c;
                }
        }
    }
    quoted += '"';
    return quoted;
}

void JsonWriter::BeforeValue() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (!hasValue_.empty()) {
        if (hasValue_.back()) {
            text_ += ',';
        }
        hasValue_.back() = true;
    }
}

void JsonWriter::BeginObject() {
    BeforeValue();
    text_ += '{';
    hasValue_.push_back(false);
}

void JsonWriter::EndObject() {
    text_ += '}';
    hasValue_.pop_back();
}

void JsonWriter::BeginArray() {
    BeforeValue();
    text_ += '[';
    hasValue_.push_back(false);
}

void JsonWriter::EndArray() {
    text_ += ']';
    hasValue_.pop_back();
}

void JsonWriter::Key(std::wstring_view name) {
    BeforeValue();
    text_ += JsonQuote(name);
    text_ += ':';
    afterKey_ = true;
}

void JsonWriter::String(std::wstring_view text) {
    BeforeValue();
    text_ += JsonQuote(text);
}

void JsonWriter::Bool(bool value) {
    BeforeValue();
    text_ += value ? "true" : "false";
}

void JsonWriter::Int(long long value) {
    BeforeValue();
    text_ += std::to_string(value);
}

}  // namespace kestrova::cli
