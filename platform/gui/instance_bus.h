// The instance bus: how the running copies of the program reach each other's main window.
// A copy's window handle is its process id; HWND_BROADCAST reaches every copy, the sender included.
#pragma once

#include <string>
#include <vector>

#include "platform/core/types.h"

// Makes this copy reachable by the others through a socket in the runtime folder; call on the GUI
// thread once the main window exists. False (with a diagnostic) when it cannot: the copy then runs
// alone, its broadcasts reaching only itself.
bool StartInstanceBus();
// The same in a folder of the caller's choice (which must already exist); for test programs.
bool StartInstanceBusIn(const std::string& folder);
// Stops listening and removes this copy's socket. Messages already taken are still handled.
void StopInstanceBus();
bool InstanceBusRunning();

// What SendMessage and PostMessage do for a handle that is not the own window, or for HWND_BROADCAST.
// A send waits for every receiver, each at most 2 s, and while it waits on the GUI thread it
// handles the messages sent to this copy. To another copy it returns the receiver's result;
// a broadcast returns 0.
LRESULT SendAcrossCopies(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostAcrossCopies(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// For a process that is no copy itself (a terminal option that asks the running copies for something):
// the copies whose sockets lie in the runtime folder, lowest process id first, and a send to one of them
// (no copy data) that needs no bus of its own. 0 when the copy does not answer within the bound.
std::vector<HWND> RunningCopies();
LRESULT SendToRunningCopy(HWND copy, UINT message, WPARAM wParam, LPARAM lParam);
