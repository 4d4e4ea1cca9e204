// Waiting for a state with a deadline: tests poll, they never sleep to wait.
#pragma once

#include <chrono>
#include <thread>

namespace test_support {

// Checks pred() until it holds or the timeout passes; returns pred()'s last answer. Between checks the
// core is given up for a moment, so that a poll on a two-core machine leaves the other threads and
// processes room to bring the state about.
template <typename Pred>
bool PollUntil(Pred pred, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (pred()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

}  // namespace test_support
