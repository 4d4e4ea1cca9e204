// Handing work to the GUI thread: our own locked queue, woken through an eventfd.
// The toolkit's queued calls would do, but their hand-over happens inside uninstrumented library
// code, so the thread sanitizer could not see it; with our own queue every hand-over is visible.
#include "platform/gui/gui_thread.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QThread>
#include <deque>
#include <memory>

#include "platform/core/annotated_mutex.h"
#include "platform/core/completion.h"
#include "platform/core/diagnostics.h"
#include "platform/gui/application.h"
#include "platform/gui/bus_inbox.h"

namespace {

Mutex g_queueMutex;
std::deque<std::function<void()>> g_queue GUARDED_BY(g_queueMutex);
int g_wakeFd = -1;  // set once, before any other thread queues

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
    Lock lock(g_queueMutex);
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
    Lock lock(g_queueMutex);
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
  // A waiting call is a sent message: a GUI thread that is itself waiting still serves it.
  auto done = std::make_shared<Completion<>>();
  bus::SentMessage m;
  m.work = std::move(fn);
  m.answer = [done](LRESULT) { done->Complete(); };
  bus::DeliverSent(std::move(m));
  return done->WaitFor(std::chrono::milliseconds(timeoutMs));
}
