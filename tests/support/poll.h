// Waiting for a state with a deadline: tests poll, they never sleep to wait.
#pragma once

#include <chrono>

namespace test_support {

// Checks pred() until it holds or the timeout passes; returns pred()'s last answer.
// The check itself paces the loop (it pumps events or runs a tool).
template <typename Pred>
bool PollUntil(Pred pred, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (pred()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
  }
}

}  // namespace test_support
