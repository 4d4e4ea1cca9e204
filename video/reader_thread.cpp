// The video thread's life: started at start-up, restarted by timer 0, stopped at shutdown.
#include "video/reader_thread.h"

#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>

#include "platform/core/completion.h"
#include "platform/core/diagnostics.h"
#include "platform/core/program_link.h"
#include "platform/core/start_thread.h"
#include "platform/gui/sent_wait.h"
#include "platform/gui/window.h"
#include "state/display_record.h"
#include "state/private_codes.h"
#include "state/program.h"
#include "state/settings.h"
#include "video/download_mjpeg.h"

namespace {

// A reader stopped by request returns from its read at once; this bound only guards against a hang.
constexpr auto kStopBound = std::chrono::seconds(5);
// How long a cut waits for a reader that is in the middle of a drawing.
constexpr auto kCutBound = std::chrono::seconds(1);

// Shared by the window thread and one reader, which keeps it alive as long as it runs.
struct ReaderShared {
  Completion<> ended;
  ProgramLink link;
};

// Window thread only.
struct ReaderThread {
  std::jthread thread;
  std::shared_ptr<ReaderShared> shared;
};
ReaderThread MJPEG_Thread;
bool waiting = false;  // a wait for the reader is in progress further up this thread's stack
bool closing = false;  // shutdown: no reader is started any more
unsigned started = 0;

// Joins the reader if it ends within the bound; false when it is still running.
bool JoinWithin(std::chrono::milliseconds bound) {
  if (!MJPEG_Thread.thread.joinable()) return true;
  const std::shared_ptr<ReaderShared> shared = MJPEG_Thread.shared;
  waiting = true;
  const bool ended = WaitServingSentMessages([&] { return shared->ended.Done(); }, bound);
  waiting = false;
  if (!ended) return false;
  MJPEG_Thread.thread.join();
  MJPEG_Thread.shared.reset();
  return true;
}

void Launch() {
  auto shared = std::make_shared<ReaderShared>();
  std::jthread thread = StartThread([shared](std::stop_token stop) {
    DownloadMJPEG(stop, shared->link);
    shared->ended.Complete();
  });
  if (!thread.joinable()) {
    // Kill_TCP is still set and timer 0 still runs: the next tick tries again.
    Diag(DiagLevel::Warning, "the video reader could not be started; the next tick tries again");
    return;
  }
  ++started;
  MJPEG_Thread = {std::move(thread), std::move(shared)};
}

}  // namespace

void StartReaderThread() {
  closing = false;
  if (waiting || MJPEG_Thread.thread.joinable()) return;
  Launch();
}

void ReaderRestartTick() {
  AssertWindowThread();
  if (SettingsDialogOpen) {
    // The dialog's end arms it again; a new address takes effect then.
    KillTimer(g_hwndMain, kReaderTimer);
    return;
  }
  if (closing || waiting || !ShowData.Kill_TCP) return;
  if (MJPEG_Thread.thread.joinable()) MJPEG_Thread.thread.request_stop();
  if (!JoinWithin(kStopBound)) {
    // Never two readers: the old one sets the timer again when it does end.
    Diag(DiagLevel::Warning, "the video reader did not end within its bound; it is not restarted yet");
    return;
  }
  if (!closing) Launch();
}

void AskReaderToStop() {
  closing = true;
  if (MJPEG_Thread.thread.joinable()) MJPEG_Thread.thread.request_stop();
}

void AwaitReaderEnd() {
  closing = true;
  if (waiting) return;  // the wait further up ends it
  if (!JoinWithin(kStopBound)) {
    Diag(DiagLevel::Warning, "the video reader did not end within its bound; it is cut off and left to end");
    if (!MJPEG_Thread.shared->link.Cut(kCutBound))
      Diag(DiagLevel::Error, "the video reader is stuck in a drawing; shutdown goes on without it");
    std::remove(NameJPEG);  // the reader would have deleted it on its way out
    MJPEG_Thread.thread.detach();
    MJPEG_Thread.shared.reset();
  }
  KillTimer(g_hwndMain, kReaderTimer);  // a reader that ended switched it on again
}

bool ReaderThreadRunning() {
  return MJPEG_Thread.thread.joinable() && MJPEG_Thread.shared && !MJPEG_Thread.shared->ended.Done();
}

unsigned ReaderThreadsStarted() { return started; }
