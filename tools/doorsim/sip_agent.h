// The unit's SIP side: one thread owns a liblinphone core and runs the other threads' requests.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "tools/doorsim/doorsim.h"

struct _LinphoneCore;
struct _LinphoneCall;

namespace doorsim {

class SipAgent {
 public:
  using EventFn = std::function<void(std::string_view line)>;
  SipAgent(std::string address, uint16_t port, std::string user, EventFn onEvent);
  ~SipAgent();  // stops
  SipAgent(const SipAgent&) = delete;
  SipAgent& operator=(const SipAgent&) = delete;

  // Starts the thread and waits until its core runs; false with `error` set when it cannot.
  bool Start(std::string& error);
  // Ends the calls, destroys the core and joins the thread, within about a second.
  void Stop();

  bool Call(std::string_view uri, std::string& error);
  bool Hangup();
  void SetAnswer(SipAnswer mode);
  SipStatus Status() const;

 private:
  using Request = std::function<void(_LinphoneCore*)>;
  template <typename R>
  std::optional<R> Ask(std::function<R(_LinphoneCore*)> fn);

  void Run();
  _LinphoneCore* CreateCore(std::string& error);
  void Loop(_LinphoneCore* core);
  void Shutdown(_LinphoneCore* core);
  void AnswerPending();
  void WatchRtp();
  void Forget(_LinphoneCall*& call);
  void CallState(_LinphoneCall* call, int state, std::string_view message);
  void Event(std::string line);

  const std::string address_;
  const uint16_t port_;
  const std::string user_;
  const EventFn onEvent_;

  mutable std::mutex mu_;  // guards the members down to status_
  std::condition_variable cv_;
  std::deque<Request> requests_;
  bool stopping_ = false;
  bool accepting_ = false;                  // requests are taken: the core runs
  std::optional<std::string> startResult_;  // set once the core runs ("") or failed (why)
  SipStatus status_;

  // Touched only on the core's thread.
  _LinphoneCall* current_ = nullptr;
  std::vector<_LinphoneCall*> pending_;  // incoming calls to answer once the callback returned
  std::thread thread_;
};

}  // namespace doorsim
