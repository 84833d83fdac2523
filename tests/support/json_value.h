#pragma once
// A small JSON reader for tests that check the output of the console front end.

#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

namespace kestrova::test {

struct JsonValue;
using JsonArray = std::vector<JsonValue>;
using JsonObject = std::map<std::string, JsonValue>;

struct JsonValue {
    std::variant<std::nullptr_t, bool, double, std::string, JsonArray, JsonObject> data;

    bool IsObject() const { return std::holds_alternative<JsonObject>(data); }
    bool IsArray() const { return std::holds_alternative<JsonArray>(data); }
    bool IsString() const { return std::holds_alternative<std::string>(data); }
    bool IsBool() const { return std::holds_alternative<bool>(data); }
    bool IsNumber() const { return std::holds_alternative<double>(data); }

    // Throw std::bad_variant_access for another kind of value.
    const JsonObject& Object() const { return std::get<JsonObject>(data); }
    const JsonArray& Array() const { return std::get<JsonArray>(data); }
    const std::string& String() const { return std::get<std::string>(data); }
    bool Bool() const { return std::get<bool>(data); }
    double Number() const { return std::get<double>(data); }
    // A member of an object; throws std::out_of_range when missing.
    const JsonValue& operator[](const std::string& name) const { return Object().at(name); }
};

class JsonParseError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Parses one JSON value (strings come back in UTF-8); surrounding blanks are allowed,
// anything else after the value is an error.
JsonValue ParseJson(const std::string& text);

}  // namespace kestrova::test
