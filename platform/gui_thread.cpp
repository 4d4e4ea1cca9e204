// Handing work to the GUI thread through the toolkit's queued calls.
#include "platform/gui_thread.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>
#include <condition_variable>
#include <memory>
#include <mutex>

#include "platform/application.h"

bool IsGuiThread() {
  QCoreApplication* app = QCoreApplication::instance();
  return app != nullptr && QThread::currentThread() == app->thread();
}

void QueueOnGuiThread(std::function<void()> fn) {
  QCoreApplication* app = QCoreApplication::instance();
  if (app == nullptr) return;
  QMetaObject::invokeMethod(app, std::move(fn), Qt::QueuedConnection);
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
