// Handling queued GUI work outside the message loop: for waits that must keep the window alive.
#pragma once

// Handles the events and queued calls waiting for the GUI thread, waiting at most maxWaitMs for one.
void ProcessPendingEvents(int maxWaitMs);
