// The video thread's life: started at start-up, restarted by timer 0, stopped at shutdown.
#include "video/reader_thread.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/core/diagnostics.h"
#include "platform/gui/application.h"
#include "platform/gui/event_pump.h"
#include "platform/gui/window.h"
#include "state/display_record.h"
#include "state/private_codes.h"
#include "state/program.h"
#include "video/download_mjpeg.h"

namespace {

// A reader stopped by request returns from its read at once; this bound only guards against a hang.
constexpr auto kStopBound = std::chrono::seconds(5);

struct EndSignal {
  std::mutex mutex;
  std::condition_variable cv;
  bool ended = false;
};

// Window thread only.
struct ReaderThread {
  std::jthread thread;
  std::shared_ptr<EndSignal> end;
};
ReaderThread MJPEG_Thread;
bool waiting = false;  // a wait for the reader is in progress further up this thread's stack
bool closing = false;  // shutdown: no reader is started any more
unsigned started = 0;

bool Ended(EndSignal& end) {
  std::lock_guard lock(end.mutex);
  return end.ended;
}

// Asks the reader to stop and joins it within the bound. False when it is still running.
bool EndReaderThread() {
  if (!MJPEG_Thread.thread.joinable()) return true;
  MJPEG_Thread.thread.request_stop();
  const auto deadline = std::chrono::steady_clock::now() + kStopBound;
  waiting = true;
  while (!Ended(*MJPEG_Thread.end) && std::chrono::steady_clock::now() < deadline) {
    if (IsGuiThread()) {
      ProcessPendingEvents(10);  // the reader may be waiting for this thread
    } else {
      std::unique_lock lock(MJPEG_Thread.end->mutex);
      MJPEG_Thread.end->cv.wait_for(lock, std::chrono::milliseconds(10),
                                    [] { return MJPEG_Thread.end->ended; });
    }
  }
  waiting = false;
  if (!Ended(*MJPEG_Thread.end)) return false;
  MJPEG_Thread.thread.join();
  MJPEG_Thread.end.reset();
  return true;
}

void Launch() {
  ++started;
  auto end = std::make_shared<EndSignal>();
  MJPEG_Thread.end = end;
  MJPEG_Thread.thread = std::jthread([end](std::stop_token stop) {
    DownloadMJPEG(stop);
    {
      std::lock_guard lock(end->mutex);
      end->ended = true;
    }
    end->cv.notify_all();
  });
}

}  // namespace

void StartReaderThread() {
  closing = false;
  if (waiting || MJPEG_Thread.thread.joinable()) return;
  Launch();
}

void ReaderRestartTick() {
  if (closing || waiting || !ShowData.Kill_TCP) return;
  if (!EndReaderThread()) {
    // Never two readers: the old one sets the timer again when it does end.
    Diag(DiagLevel::Warning, "the video reader did not end within its bound; it is not restarted yet");
    return;
  }
  if (!closing) Launch();
}

void StopReaderThread() {
  closing = true;
  if (waiting) return;  // the wait further up ends it
  if (!EndReaderThread()) {
    Diag(DiagLevel::Warning,
         "the video reader did not end within its bound; it is left to end with the program");
    MJPEG_Thread.thread.detach();
    MJPEG_Thread.end.reset();
  }
  KillTimer(g_hwndMain, kReaderTimer);  // a reader that ended switched it on again
}

bool ReaderThreadRunning() {
  return MJPEG_Thread.thread.joinable() && MJPEG_Thread.end && !Ended(*MJPEG_Thread.end);
}

unsigned ReaderThreadsStarted() { return started; }
