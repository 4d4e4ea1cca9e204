// Starting the platform once per test program, for tests that create the window or draw.
#pragma once

#include "tests/support/poll.h"

namespace test_support {

// Starts the GUI toolkit (offscreen unless QT_QPA_PLATFORM says otherwise) on the calling thread.
void EnsurePlatform();
// Handles one round of the GUI thread's queued work (waiting a few milliseconds for some).
void PumpEvents();

// Handles the GUI thread's queued work until pred() holds or timeoutMs passes; returns pred().
template <typename Pred>
bool PumpUntilFn(Pred pred, int timeoutMs) {
  return PollUntil(
      [&] {
        PumpEvents();
        return pred();
      },
      std::chrono::milliseconds(timeoutMs));
}

}  // namespace test_support
