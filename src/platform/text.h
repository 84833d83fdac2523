#pragma once
// Conversions between the program's UTF-16 text and UTF-8 (console output, exception texts).

#include <string>
#include <string_view>

namespace kestrova {

std::string ToUtf8(std::wstring_view text);
std::wstring FromUtf8(std::string_view text);

}  // namespace kestrova
