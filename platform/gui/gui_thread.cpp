// Handing work to the GUI thread: our own locked queue, woken through an eventfd.
// The toolkit's queued calls would do, but their hand-over happens inside uninstrumented library
// code, so the thread sanitizer could not see it; with our own queue every hand-over is visible.
#include "platform/gui/gui_thread.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QThread>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>

#include "platform/core/diagnostics.h"
#include "platform/gui/application.h"

namespace {

std::mutex g_queueMutex;
std::deque<std::function<void()>> g_queue;  // guarded by g_queueMutex
int g_wakeFd = -1;                          // set once, before any other thread queues

void Wake() {
  const std::uint64_t one = 1;
  ssize_t ignored = write(g_wakeFd, &one, sizeof one);
  (void)ignored;
}

// Runs one queued call per wake-up: a call that opens a nested loop (a message box) leaves the
// rest to that loop instead of holding them back until it returns.
void DrainOne() {
  std::uint64_t count;
  while (read(g_wakeFd, &count, sizeof count) > 0) {
  }
  std::function<void()> fn;
  {
    std::lock_guard lock(g_queueMutex);
    if (g_queue.empty()) return;
    fn = std::move(g_queue.front());
    g_queue.pop_front();
    if (!g_queue.empty()) Wake();
  }
  fn();
}

}  // namespace

void StartGuiQueue() {
  if (g_wakeFd >= 0) return;
  g_wakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (g_wakeFd < 0) {
    Diag(DiagLevel::Error, "cannot create the GUI thread's wake-up: queued work is lost");
    return;
  }
  auto* notifier = new QSocketNotifier(g_wakeFd, QSocketNotifier::Read, QCoreApplication::instance());
  QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] { DrainOne(); });
}

bool IsGuiThread() {
  QCoreApplication* app = QCoreApplication::instance();
  return app != nullptr && QThread::currentThread() == app->thread();
}

void QueueOnGuiThread(std::function<void()> fn) {
  if (g_wakeFd < 0) return;
  bool wake;
  {
    std::lock_guard lock(g_queueMutex);
    wake = g_queue.empty();
    g_queue.push_back(std::move(fn));
  }
  if (wake) Wake();
}

void RunOnGuiThread(std::function<void()> fn) {
  if (IsGuiThread())
    fn();
  else
    QueueOnGuiThread(std::move(fn));
}

bool RunOnGuiThreadAndWait(std::function<void()> fn, int timeoutMs) {
  if (IsGuiThread()) {
    fn();
    return true;
  }
  struct Done {
    std::mutex mutex;
    std::condition_variable cv;
    bool done = false;
  };
  auto state = std::make_shared<Done>();
  QueueOnGuiThread([state, fn = std::move(fn)] {
    fn();
    std::lock_guard lock(state->mutex);
    state->done = true;
    state->cv.notify_all();
  });
  std::unique_lock lock(state->mutex);
  return state->cv.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return state->done; });
}
