// What is sent to this copy's GUI thread with a sender waiting for it: messages from other copies and
// other threads, and other threads' waiting calls. A GUI thread that waits serves these and nothing else.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/core/types.h"

namespace bus {

struct SentMessage {
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;  // unused for copy data: the window procedure gets our own record
  bool copyData = false;
  std::uintptr_t tag = 0;
  std::vector<unsigned char> bytes;
  // Set instead of a message: another thread's call to run on the GUI thread (its result is 0).
  std::function<void()> work;
  // Runs on the GUI thread with the window procedure's result. Whatever it owns is released with
  // the message, also when the message is never handled.
  std::function<void(LRESULT)> answer;
};

// Any thread: queues the message for the GUI thread, which handles it from its message loop or,
// sooner, while it waits in a sending call of its own.
void DeliverSent(SentMessage message);
// GUI thread: hands the oldest waiting message to the window procedure; false when none waits.
bool HandleOneSent();
// Readable after a delivery until read: the GUI thread's sending calls wait on it too.
int InboxWakeFd();
void ClearInboxWake();

// Another thread's send to our own window: waits at most timeoutMs; 0 when it was not handled by then
// (it is still handled later).
LRESULT SendToOwnWindowAndWait(UINT message, WPARAM wParam, LPARAM lParam, int timeoutMs);

}  // namespace bus
