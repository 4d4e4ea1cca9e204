// The window thread's identity and the check that a caller is it.
#include "platform/core/window_thread.h"

#include <atomic>
#include <cstdlib>
#include <thread>

#include "platform/core/diagnostics.h"

ThreadRole WindowThread;

namespace {
std::atomic<std::thread::id> g_windowThread{};
}

void BindWindowThread() { g_windowThread = std::this_thread::get_id(); }

void AssertWindowThread() {
#ifndef NDEBUG
  const std::thread::id bound = g_windowThread.load();
  if (bound != std::thread::id{} && bound != std::this_thread::get_id()) {
    Diag(DiagLevel::Error, "window-thread state touched from another thread");
    std::abort();
  }
#endif
}
