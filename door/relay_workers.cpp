// The workers that run the relay presses.
#include "door/relay_workers.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <stop_token>
#include <utility>

#include "door/relay.h"
#include "platform/core/annotated_mutex.h"
#include "platform/core/diagnostics.h"
#include "platform/core/program_link.h"
#include "platform/core/start_thread.h"
#include "platform/core/window_thread.h"
#include "state/settings.h"

namespace {

// How long a cut waits for a command in the middle of a drawing.
constexpr auto kCutBound = std::chrono::seconds(1);

struct Press {
  int rele;
  unsigned number;
  char address[sizeof IP_addr];
};

// Shared by the window thread and the workers; each worker keeps it alive while it runs, so a worker
// that outlives shutdown still finds its queue.
struct Workers {
  Mutex mutex;
  std::condition_variable_any idle;
  std::deque<Press> waiting GUARDED_BY(mutex);
  int running GUARDED_BY(mutex) = 0;  // workers that have not finished
  bool closing GUARDED_BY(mutex) = false;
  std::stop_source stop;
  ProgramLink link;
};

std::shared_ptr<Workers> current GUARDED_BY(WindowThread) = std::make_shared<Workers>();
unsigned lastPress GUARDED_BY(WindowThread) = 0;

// Runs the press it was started for, then those that wait, until none is left.
void Work(const std::shared_ptr<Workers>& w, Press press) {
  for (;;) {
    relay(press.rele, press.number, press.address, w->stop.get_token(), w->link);
    Lock lock(w->mutex);
    if (w->closing || w->waiting.empty()) {
      --w->running;
      w->idle.notify_all();
      return;
    }
    press = w->waiting.front();
    w->waiting.pop_front();
  }
}

}  // namespace

unsigned StartRelay(int rele) {
  AssertWindowThread();
  Press next{rele, ++lastPress, {}};
  // The address at the press: a unit changed in the settings later is not switched instead.
  CopyIP_addr(next.address);
  const std::shared_ptr<Workers> w = current;
  Press press{};
  {
    Lock lock(w->mutex);
    w->waiting.push_back(next);
    if (w->running >= kRelayWorkers) return next.number;
    ++w->running;
    // The oldest press first: one left waiting by a refused start goes before this one.
    press = w->waiting.front();
    w->waiting.pop_front();
  }
  std::jthread thread = StartThread([w, press](std::stop_token) { Work(w, press); });
  if (thread.joinable()) {
    thread.detach();  // the workers' count, not a join, tells when they are done
    return next.number;
  }
  Lock lock(w->mutex);
  --w->running;
  // A refused thread loses no press: a running worker takes it, else the next press's worker does.
  w->waiting.push_front(press);
  Diag(DiagLevel::Warning, "a relay command could not be started now; it waits for the next worker");
  return next.number;
}

unsigned LastRelayPress() {
  AssertWindowThread();
  return lastPress;
}

std::size_t RelayPressesPending() {
  AssertWindowThread();
  Lock lock(current->mutex);
  return current->waiting.size() + static_cast<std::size_t>(current->running);
}

std::size_t RelayPressesWaiting() {
  AssertWindowThread();
  Lock lock(current->mutex);
  return current->waiting.size();
}

bool AbandonRelayCommands(std::chrono::milliseconds bound) {
  AssertWindowThread();
  const std::shared_ptr<Workers> w = std::exchange(current, std::make_shared<Workers>());
  {
    Lock lock(w->mutex);
    w->closing = true;
    if (!w->waiting.empty())
      Diag(DiagLevel::Warning, "%zu relay presses were still waiting at shutdown; they are not sent",
           w->waiting.size());
    w->waiting.clear();
  }
  w->stop.request_stop();  // a command waiting for the unit returns at once
  if (!w->link.Cut(kCutBound))
    Diag(DiagLevel::Error, "a relay command is stuck in a drawing; shutdown goes on without it");
  Lock lock(w->mutex);
  if (lock.WaitFor(w->idle, bound, [&]() REQUIRES(w->mutex) { return w->running == 0; })) return true;
  Diag(DiagLevel::Warning, "%d relay commands did not end within their bound; they are left to end",
       w->running);
  return false;
}
