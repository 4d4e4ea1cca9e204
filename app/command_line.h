// The options answered on the terminal before any copy starts: no lock, no bus, no window.
#pragma once

#include <optional>

// The exit code when an option was answered (--version, --help, --autostart on|off), nullopt when
// the program is to start. Other arguments are ignored; --visitors is app/visitors_request.h's.
std::optional<int> AnswerCommandLine(int argc, const char* const* argv);
