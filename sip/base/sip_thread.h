// The SIP thread: it alone makes, iterates and destroys the liblinphone core, and runs other threads'
// requests between its iteration steps, so the library is only ever used from one thread.
#pragma once

#include <linphone/core.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "platform/core/completion.h"
#include "sip/base/vtable.h"

// How a thread waits for the SIP thread: until done() holds or the bound passes. The window thread's
// waiter keeps handling the messages sent to it, as a callback may be waiting for it meanwhile.
using SipWaiter = std::function<bool(const std::function<bool()>& done, std::chrono::milliseconds bound)>;
// A plain wait, for threads that nothing is sent to.
bool PlainSipWait(const std::function<bool()>& done, std::chrono::milliseconds bound);

struct SipCoreOptions {
  int udpPort = 5060;  // 0: none; -1: any free one
  const t_SipVTable* table = nullptr;
  std::string capture, playback;  // wanted sound devices ("" leaves the library's choice)
  std::string userAgent;          // what SIP requests say first in their User-Agent ("": the library's)
};

// What the core reports after it started.
struct SipCoreStarted {
  LinphoneCore* core = nullptr;   // for identity only: the core is used on the SIP thread alone
  std::string capture, playback;  // the devices in use
  int udpPort = 0;                // the port the core listens on
};

class SipThread {
 public:
  using Request = std::function<void(LinphoneCore*)>;

  SipThread() = default;
  ~SipThread();
  SipThread(const SipThread&) = delete;
  SipThread& operator=(const SipThread&) = delete;

  // Starts the thread, which makes and starts the core, and waits for that within a bound. False
  // (thread ended, a diagnostic said why) when the core could not be made or started, and at once when a
  // start is already under way (the wait serves sent messages, which may ask for another start).
  bool Start(const SipCoreOptions& options, const SipWaiter& wait, SipCoreStarted* started = nullptr);
  bool Running() const;

  // Runs request on the SIP thread between two iteration steps; returns at once.
  void Post(Request request);
  // Runs request there and waits for it within bound; false when it has not run by then (it may
  // still run later, so it must own what it uses).
  bool Call(Request request, const SipWaiter& wait, std::chrono::milliseconds bound);
  // Call for a result: nothing when the request has not run within bound.
  template <typename T>
  std::optional<T> Ask(std::function<T(LinphoneCore*)> request, const SipWaiter& wait,
                       std::chrono::milliseconds bound) {
    auto result = std::make_shared<Completion<T>>();
    const bool ran =
        Call([request = std::move(request), result](LinphoneCore* core) { result->Complete(request(core)); },
             wait, bound);
    if (!ran) return std::nullopt;
    return result->Value();
  }

  // Asks the thread to end: it runs the requests already queued, stops and releases the core. Waits
  // for that within a bound, then joins. A thread that has not ended by then is cut off from the
  // callback table (so it can reach no window) and left to end on its own.
  void Stop(const SipWaiter& wait);

  static constexpr std::chrono::milliseconds kIteratePeriod{30};
  static constexpr std::chrono::milliseconds kRequestBound{3000};
  static constexpr std::chrono::milliseconds kStopBound{10000};

 private:
  struct Shared;
  void Body(std::shared_ptr<Shared> shared, SipCoreOptions options);
  bool StartOnce(const SipCoreOptions& options, const SipWaiter& wait, SipCoreStarted* started);
  // Joins a thread that has said it ended, or cuts it off and detaches it after the bound.
  void EndThread(const SipWaiter& wait);

  std::shared_ptr<Shared> shared_;
  std::thread thread_;
  std::atomic<bool> starting_{false};
};
