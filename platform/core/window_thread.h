// The window thread as a capability: state that only it touches is GUARDED_BY(WindowThread).
#pragma once

#include "platform/core/annotated_mutex.h"

// Not a lock: nothing is taken or released. A function that runs on the window thread says so with
// REQUIRES(WindowThread), or, where it is entered from the toolkit or a message, with AssertWindowThread().
class CAPABILITY("window thread") ThreadRole {};
extern ThreadRole WindowThread;

// Names the calling thread the window thread (start-up, before the message loop runs).
void BindWindowThread();
// Grants WindowThread to the analysis; in debug builds it stops the program when another thread calls
// it after BindWindowThread. Tests that never bind run their window code on any one thread.
void AssertWindowThread() ASSERT_CAPABILITY(WindowThread);
