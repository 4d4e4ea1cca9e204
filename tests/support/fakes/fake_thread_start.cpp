// A fake of the platform's thread start that refuses as many starts as a test asks for.
#include "tests/support/fakes/fake_thread_start.h"

#include <atomic>

#include "platform/core/start_thread.h"

namespace {

std::atomic<int> g_refusals{0};

}  // namespace

namespace test_support {

void RefuseThreadStarts(int count) { g_refusals = count; }

}  // namespace test_support

std::jthread StartThread(std::function<void(std::stop_token)> body) {
  for (int left = g_refusals; left > 0;)
    if (g_refusals.compare_exchange_weak(left, left - 1)) return std::jthread();
  return std::jthread(std::move(body));
}
