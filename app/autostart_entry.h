// The program's entry in the user's autostart folder, which starts it at log-in.
#pragma once

#include <string>

// The entry's file name, the same as the menu entry's.
constexpr const char* kDesktopFileName = "kestrova.desktop";

// The entry's text, starting the program at `executable`.
std::string AutostartEntryText(const std::string& executable);
// Writes (on) or removes (off) the entry; says what it did on stdout, why it failed on stderr.
bool SetAutostart(bool on);
