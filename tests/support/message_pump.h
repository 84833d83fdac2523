#pragma once
// Lets a test act as the window thread: dispatch its messages until something happened.

#include <windows.h>

#include <functional>

namespace kestrova::test {

// Dispatches this thread's messages until done() is true or limitMs have passed; returns
// done(). The limit only keeps a broken test from hanging, so make it generous.
bool PumpMessagesUntil(const std::function<bool()>& done, DWORD limitMs = 60000);
// Dispatches this thread's messages for about ms milliseconds.
void PumpMessagesFor(DWORD ms);

}  // namespace kestrova::test
