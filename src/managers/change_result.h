#pragma once
// What one change of a manager came to: done, or why not. The window passes over failures in
// silence where the program does; the console front end tells them.

#include <string>
#include <utility>

namespace kestrova {

struct ChangeResult {
    bool done = false;
    std::wstring reason;  // why it was not done; empty when done

    static ChangeResult Done() { return {true, {}}; }
    static ChangeResult Failed(std::wstring why) { return {false, std::move(why)}; }
};

}  // namespace kestrova
