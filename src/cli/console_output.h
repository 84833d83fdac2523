#pragma once
// Output of the console front end. Text goes out as UTF-8 bytes: the console's own wide
// output and printf("%ls") lose characters outside the console's code page (Wine drops
// every non-ASCII one).

#include <string>
#include <string_view>

namespace kestrova::cli {

// Makes a console, if stdout is one, show UTF-8 output as such.
void PrepareConsoleOutput();

void WriteOut(std::string_view utf8);
void WriteOut(std::wstring_view text);
void WriteErr(std::wstring_view text);

}  // namespace kestrova::cli
