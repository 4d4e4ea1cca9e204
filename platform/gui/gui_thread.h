// Handing work to the GUI thread, the only thread that touches widgets.
#pragma once

#include <functional>

// Sets up the queue; called once by InitPlatform on the GUI thread.
void StartGuiQueue();
// Runs fn now when called on the GUI thread, else queues it for the GUI thread and returns.
void RunOnGuiThread(std::function<void()> fn);
// Queues fn for the GUI thread even when called on it (a posted message).
void QueueOnGuiThread(std::function<void()> fn);
// Runs fn on the GUI thread and waits for it at most timeoutMs; false when it did not run in time
// (it may still run later: fn must own what it uses).
bool RunOnGuiThreadAndWait(std::function<void()> fn, int timeoutMs);
