// Waiting on the GUI thread as a thread blocked in a sending call waits: serving only what is sent to it.
#include "platform/gui/sent_wait.h"

#include <poll.h>

#include <algorithm>
#include <thread>

#include "platform/gui/application.h"
#include "platform/gui/bus_inbox.h"

bool WaitServingSentMessages(const std::function<bool()>& done, std::chrono::milliseconds bound) {
  using Clock = std::chrono::steady_clock;
  // A sent message wakes the wait at once; the condition itself is looked at every few milliseconds.
  constexpr std::chrono::milliseconds kLookEvery(5);
  const auto deadline = Clock::now() + bound;
  const bool serve = IsGuiThread();
  for (;;) {
    if (serve)
      while (bus::HandleOneSent()) {
      }
    if (done()) return true;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) return done();
    const auto step = std::min(left, kLookEvery);
    if (serve) {
      pollfd wake{bus::InboxWakeFd(), POLLIN, 0};
      if (poll(&wake, 1, static_cast<int>(step.count())) > 0) bus::ClearInboxWake();
    } else {
      std::this_thread::sleep_for(step);
    }
  }
}
