// The workers that run the relay presses: a few at once, the rest waiting their turn, none left
// touching the program after shutdown.
#pragma once

#include <chrono>
#include <cstddef>

// Commands running at once; further presses wait for one of them to finish.
constexpr int kRelayWorkers = 4;

// Window thread. Starts relay rele (1 or 2) for a press on the address the window watches now; never
// waits for the command, and never drops a press. Returns the press's number (1, 2, ...), which its
// result carries.
unsigned StartRelay(int rele);
// Window thread. The number of the latest press, 0 before the first.
unsigned LastRelayPress();
// Window thread. Presses whose command has not finished yet, running or waiting.
std::size_t RelayPressesPending();
// Window thread. Presses waiting for a worker.
std::size_t RelayPressesWaiting();
// Window thread, at shutdown: presses still waiting are dropped, running commands are stopped and cut
// off from the program (nothing is drawn afterwards), and their end is awaited at most `bound`; false
// when some were still running then. Presses made later start afresh.
bool AbandonRelayCommands(std::chrono::milliseconds bound);
