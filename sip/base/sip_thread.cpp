// The SIP thread's life: make and start the core, iterate it and run requests, then stop and release it.
#include "sip/base/sip_thread.h"

#include "platform/core/annotated_mutex.h"
#include "platform/core/completion.h"
#include "platform/core/diagnostics.h"
#include "sip/base/after_call_trim.h"
#include "sip/base/quiet_core.h"
#include "sip/base/silent_card.h"
#include "sip/base/sip_events.h"

struct SipThread::Shared {
  Mutex mutex;
  std::condition_variable_any wake;
  std::deque<Request> queue GUARDED_BY(mutex);
  bool stop GUARDED_BY(mutex) = false;
  bool running GUARDED_BY(mutex) = false;
  Completion<bool> created;   // true: the core runs
  Completion<bool> finished;  // the core is released and the thread returns
  SipCoreStarted report;
  SipEventState events;
};

bool PlainSipWait(const std::function<bool()>& done, std::chrono::milliseconds bound) {
  const auto deadline = std::chrono::steady_clock::now() + bound;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= deadline) return done();
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

namespace {

std::string Text(const char* text) { return text == nullptr ? "" : text; }

LinphoneCore* MakeCore(const SipCoreOptions& options, SipEventState* events) {
  LinphoneCore* core = MakeQuietCore("KESTROVA_SIP_LOG", options.udpPort);
  if (core == nullptr) return nullptr;
  // SIP servers tell the program by it in their logs and policies.
  if (!options.userAgent.empty()) linphone_core_set_user_agent(core, options.userAgent.c_str(), nullptr);

  LinphoneCoreCbs* cbs = CreateSipEventCallbacks(linphone_factory_get(), events);
  linphone_core_add_callbacks(core, cbs);
  linphone_core_cbs_unref(cbs);

  linphone_core_set_video_port(core, -1);
  linphone_core_set_text_port(core, -1);
  // The program rings itself.
  linphone_core_set_ring(core, nullptr);
  linphone_core_set_ringback(core, nullptr);
  linphone_core_enable_self_view(core, FALSE);
  linphone_core_enable_video_preview(core, FALSE);

  if (linphone_core_start(core) != 0) {
    linphone_core_unref(core);
    return nullptr;
  }
  return core;
}

// The devices asked for; what the library took is read back, as it keeps its own choice for a name it
// does not know.
void ApplySound(LinphoneCore* core, const SipCoreOptions& options, SipCoreStarted& report) {
  AddSilentCardWhereNeeded(core);
  UseSoundDevices(core, options.capture, options.playback);
  report.capture = Text(linphone_core_get_capture_device(core));
  report.playback = Text(linphone_core_get_playback_device(core));
}

}  // namespace

SipThread::~SipThread() { Stop(PlainSipWait); }

bool SipThread::Start(const SipCoreOptions& options, const SipWaiter& wait, SipCoreStarted* started) {
  if (Running() || starting_.exchange(true)) return false;
  const bool ran = StartOnce(options, wait, started);
  starting_ = false;
  return ran;
}

bool SipThread::StartOnce(const SipCoreOptions& options, const SipWaiter& wait, SipCoreStarted* started) {
  EndThread(wait);  // an earlier thread that failed to start, or was stopped
  auto shared = std::make_shared<Shared>();
  shared->events.table = options.table;
  try {
    thread_ = std::thread(&SipThread::Body, this, shared, options);
  } catch (const std::system_error& e) {
    Diag(DiagLevel::Error, "SIP thread: cannot start: %s", e.what());
    return false;
  }
  shared_ = shared;
  // Making and starting a core takes 55 to 180 ms; a loaded machine may take much longer.
  if (!wait([&] { return shared->created.Done(); }, std::chrono::seconds(20))) {
    Diag(DiagLevel::Error, "SIP thread: the core did not start in time; going on without a telephone");
    Stop(wait);
    return false;
  }
  if (!shared->created.Value()) {
    EndThread(wait);
    return false;
  }
  if (started != nullptr) *started = shared->report;
  return true;
}

bool SipThread::Running() const {
  if (!shared_) return false;
  Lock lock(shared_->mutex);
  return shared_->running && !shared_->stop;
}

void SipThread::Post(Request request) {
  if (!shared_) return;
  {
    Lock lock(shared_->mutex);
    if (!shared_->running || shared_->stop) return;
    shared_->queue.push_back(std::move(request));
  }
  shared_->wake.notify_all();
}

bool SipThread::Call(Request request, const SipWaiter& wait, std::chrono::milliseconds bound) {
  if (!Running()) return false;
  auto done = std::make_shared<Completion<bool>>();
  Post([request = std::move(request), done](LinphoneCore* core) {
    request(core);
    done->Complete(true);
  });
  return wait([&] { return done->Done(); }, bound);
}

void SipThread::Stop(const SipWaiter& wait) {
  if (shared_) {
    {
      Lock lock(shared_->mutex);
      shared_->stop = true;
    }
    shared_->wake.notify_all();
  }
  EndThread(wait);
}

void SipThread::EndThread(const SipWaiter& wait) {
  if (shared_) {
    // The core's last callbacks (the end of a call) may wait for the waiting thread.
    if (!wait([&] { return shared_->finished.Done(); }, kStopBound)) {
      Diag(DiagLevel::Error, "SIP thread: did not end within %lld ms; cut off and left to end on its own",
           static_cast<long long>(kStopBound.count()));
      shared_->events.table = nullptr;
      if (thread_.joinable()) thread_.detach();
    }
  }
  // finished is set as the thread returns: this join is short.
  if (thread_.joinable()) thread_.join();
  shared_.reset();
}

void SipThread::Body(std::shared_ptr<Shared> shared, SipCoreOptions options) {
  LinphoneCore* core = MakeCore(options, &shared->events);
  if (core == nullptr) {
    Diag(DiagLevel::Error, "SIP: the core could not be made or started (UDP port %d); no telephone",
         options.udpPort);
    shared->finished.Complete(true);
    shared->created.Complete(false);
    return;
  }
  ApplySound(core, options, shared->report);
  if (LinphoneTransports* used = linphone_core_get_transports_used(core)) {
    shared->report.udpPort = linphone_transports_get_udp_port(used);
    linphone_transports_unref(used);
  }
  shared->report.core = core;
  {
    Lock lock(shared->mutex);
    shared->running = true;
  }
  shared->created.Complete(true);

  AfterCallTrim trim;
  for (;;) {
    linphone_core_iterate(core);
    RefuseTurnedAwayCalls(&shared->events);
    trim.Iterated(linphone_core_get_calls_nb(core), AfterCallTrim::Clock::now());
    std::deque<Request> batch;
    bool stop;
    {
      Lock lock(shared->mutex);
      lock.WaitFor(shared->wake, kIteratePeriod,
                   [&]() REQUIRES(shared->mutex) { return shared->stop || !shared->queue.empty(); });
      batch.swap(shared->queue);
      stop = shared->stop;
      if (stop) shared->running = false;
    }
    for (Request& request : batch) request(core);
    if (stop) break;
  }
  RefuseTurnedAwayCalls(&shared->events);
  linphone_core_stop(core);
  linphone_core_unref(core);
  shared->finished.Complete(true);
}
