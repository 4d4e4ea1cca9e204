// Waiting on the GUI thread as a thread blocked in a sending call waits: it handles what is sent to it
// (other copies' messages, other threads' sends and waiting calls) and nothing else. Input, timers and
// posted messages wait their turn, so no handler is entered again by a click that came meanwhile.
#pragma once

#include <chrono>
#include <functional>

// Until done() holds or the bound passes; returns done()'s last answer. Off the GUI thread it only waits.
bool WaitServingSentMessages(const std::function<bool()>& done, std::chrono::milliseconds bound);
