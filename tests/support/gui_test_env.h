// Starting the platform once per test program, for tests that create the window or draw.
#pragma once

namespace test_support {

// Starts the GUI toolkit (offscreen unless QT_QPA_PLATFORM says otherwise) on the calling thread.
void EnsurePlatform();
// Handles the GUI thread's queued work until pred() holds or timeoutMs passes; returns pred().
bool PumpUntil(bool (*pred)(), int timeoutMs);

// Runs `pred` after each round of queued work; any callable.
template <typename Pred>
bool PumpUntilFn(Pred pred, int timeoutMs);

void PumpEvents();
long long NowMs();

template <typename Pred>
bool PumpUntilFn(Pred pred, int timeoutMs) {
  const long long deadline = NowMs() + timeoutMs;
  while (true) {
    PumpEvents();
    if (pred()) return true;
    if (NowMs() >= deadline) return false;
  }
}

}  // namespace test_support
