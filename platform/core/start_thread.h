// Starting a thread where the system may refuse one: a refusal is an answer, not an exception.
#pragma once

#include <functional>
#include <stop_token>
#include <thread>

// Starts body on a new thread that can be asked to stop. Returns a thread that is not joinable when
// the system refused one (a diagnostic says why); the caller then goes on without it.
std::jthread StartThread(std::function<void(std::stop_token)> body);
