// The SIP side's thread: creates the core, iterates it, runs requests, answers calls, destroys it.
#include "tools/doorsim/sip_agent.h"

#include <linphone/core.h>

#include <chrono>
#include <cstring>
#include <future>

#include "sip/base/quiet_core.h"
#include "sip/base/silent_card.h"
#include "tools/doorsim/socket_io.h"

namespace doorsim {
namespace {

using namespace std::chrono_literals;

constexpr auto kIteration = 20ms;
constexpr auto kRequestWait = 3s;
// Core creation takes up to 200 ms on an idle machine; much longer under a sanitizer on a busy one.
constexpr auto kStartWait = 20s;
constexpr auto kHangupDrain = 500ms;

// The library keeps process-wide state that is not safe across threads (the locale it switches
// while formatting, the SIP parser's shared grammar, the logging service, the factory). A core
// is used only by its own thread, and two units in one process take turns inside the library.
std::mutex libraryMu;

std::string AddressText(const LinphoneAddress* address) {
  if (!address) return {};
  char* text = linphone_address_as_string(address);
  std::string out = text ? text : "";
  ortp_free(text);
  return out;
}

const char* StateName(LinphoneCallState state) {
  switch (state) {
    case LinphoneCallStateIncomingReceived:
    case LinphoneCallStateIncomingEarlyMedia: return "incoming";
    case LinphoneCallStateOutgoingInit:
    case LinphoneCallStateOutgoingProgress:
    case LinphoneCallStateOutgoingRinging:
    case LinphoneCallStateOutgoingEarlyMedia: return "calling";
    case LinphoneCallStateEnd:
    case LinphoneCallStateError:
    case LinphoneCallStateReleased: return "idle";
    default: return "connected";
  }
}

}  // namespace

std::string_view SipAnswerName(SipAnswer mode) {
  switch (mode) {
    case SipAnswer::Busy: return "busy";
    case SipAnswer::Never: return "never";
    default: return "auto";
  }
}

std::optional<SipAnswer> ParseSipAnswer(std::string_view name) {
  for (SipAnswer m : {SipAnswer::Auto, SipAnswer::Busy, SipAnswer::Never}) {
    if (SipAnswerName(m) == name) return m;
  }
  return std::nullopt;
}

SipAgent::SipAgent(std::string address, uint16_t port, std::string user, EventFn onEvent)
    : address_(std::move(address)), port_(port), user_(std::move(user)), onEvent_(std::move(onEvent)) {}

SipAgent::~SipAgent() { Stop(); }

bool SipAgent::Start(std::string& error) {
  if (thread_.joinable()) return true;
  // liblinphone binds its UDP socket so that others may share the port, and gives no error when
  // another program holds it: a plain bind on the unit's address tells whether the port is free.
  if (!UdpFree(address_, port_, &error)) return false;
  thread_ = std::thread([this] { Run(); });
  std::unique_lock lock(mu_);
  if (!cv_.wait_for(lock, kStartWait, [this] { return startResult_.has_value(); })) {
    error = "the SIP core did not start in time";
    lock.unlock();
    Stop();
    return false;
  }
  error = *startResult_;
  const bool ok = error.empty();
  lock.unlock();
  if (!ok) Stop();
  return ok;
}

void SipAgent::Stop() {
  if (!thread_.joinable()) return;
  {
    std::lock_guard lock(mu_);
    stopping_ = true;
    cv_.notify_all();
  }
  thread_.join();
}

template <typename R>
std::optional<R> SipAgent::Ask(std::function<R(LinphoneCore*)> fn) {
  auto task = std::make_shared<std::packaged_task<R(LinphoneCore*)>>(std::move(fn));
  std::future<R> result = task->get_future();
  {
    std::lock_guard lock(mu_);
    if (!accepting_) return std::nullopt;
    requests_.emplace_back([task](LinphoneCore* core) { (*task)(core); });
    cv_.notify_all();
  }
  if (result.wait_for(kRequestWait) != std::future_status::ready) return std::nullopt;
  try {
    return result.get();
  } catch (const std::future_error&) {
    return std::nullopt;  // the thread ended before it ran the request
  }
}

bool SipAgent::Call(std::string_view uri, std::string& error) {
  const std::string target(uri);
  auto placed = Ask<std::string>([this, target](LinphoneCore* core) -> std::string {
    LinphoneCall* call = linphone_core_invite(core, target.c_str());
    if (!call) return "the SIP library refused the call to " + target;
    Forget(current_);
    current_ = linphone_call_ref(call);
    {
      std::lock_guard lock(mu_);
      ++status_.placed;
      status_.remote = AddressText(linphone_call_get_remote_address(call));
      status_.rtpPackets = 0;
    }
    Event("sip calling " + target);
    return {};
  });
  if (!placed) {
    error = "the SIP side is not running";
    return false;
  }
  error = *placed;
  return error.empty();
}

bool SipAgent::Hangup() {
  auto ended = Ask<bool>([](LinphoneCore* core) {
    if (linphone_core_get_calls_nb(core) == 0) return false;
    linphone_core_terminate_all_calls(core);
    return true;
  });
  return ended.value_or(false);
}

void SipAgent::SetAnswer(SipAnswer mode) {
  std::lock_guard lock(mu_);
  status_.answer = mode;
}

SipStatus SipAgent::Status() const {
  std::lock_guard lock(mu_);
  return status_;
}

void SipAgent::Event(std::string line) {
  if (onEvent_) onEvent_(line);
}

void SipAgent::Run() {
  std::string error;
  LinphoneCore* core = CreateCore(error);
  {
    std::lock_guard lock(mu_);
    startResult_ = error;
    if (core) {
      accepting_ = true;
      status_.running = true;
      status_.state = "idle";
    }
    cv_.notify_all();
  }
  if (!core) return;
  Loop(core);
  Shutdown(core);
}

LinphoneCore* SipAgent::CreateCore(std::string& error) {
  std::lock_guard library(libraryMu);
  LinphoneCore* core = MakeQuietCore("DOORSIM_SIP_LOG", port_, [this](LinphoneConfig* config) {
    linphone_config_set_int(config, "sip", "sip_port", port_);
    // Bound to the unit's own address, the answers' Contact names it too (on the wildcard address
    // the library names whichever local address leads to the caller).
    linphone_config_set_string(config, "sip", "bind_address", address_.c_str());
  });
  if (!core) {
    error = "the SIP core could not be created";
    return nullptr;
  }
  LinphoneCoreCbs* cbs = linphone_factory_create_core_cbs(linphone_factory_get());
  linphone_core_cbs_set_call_state_changed(cbs, [](LinphoneCore* core, LinphoneCall* call,
                                                   LinphoneCallState state, const char* message) {
    static_cast<SipAgent*>(linphone_core_get_user_data(core))->CallState(call, state, message ? message : "");
  });
  linphone_core_set_user_data(core, this);
  linphone_core_add_callbacks(core, cbs);
  linphone_core_cbs_unref(cbs);

  // The contact names the unit's own address, so a client's ACK and BYE come back here whatever
  // loopback address the unit has; a guessed host would be the machine's first address instead.
  linphone_core_set_guess_hostname(core, FALSE);
  // The library declines a call left ringing for 30 s; "never" answering means ringing for ever.
  linphone_core_set_inc_timeout(core, 24 * 3600);
  // Callers see "Door" <sip:USER@ADDR>: the library leaves the port out of the From.
  const std::string contact = "\"Door\" <sip:" + user_ + "@" + address_ + ":" + std::to_string(port_) + ">";
  linphone_core_set_primary_contact(core, contact.c_str());
  linphone_core_set_user_agent(core, "doorsim", nullptr);

  if (linphone_core_start(core) != 0) {
    linphone_core_unref(core);
    error = "the SIP core did not start";
    return nullptr;
  }
  LinphoneTransports* used = linphone_core_get_transports_used(core);
  const int udp = used ? linphone_transports_get_udp_port(used) : 0;
  if (used) linphone_transports_unref(used);
  if (udp != port_) {
    linphone_core_stop(core);
    linphone_core_unref(core);
    error = "the SIP core listens on UDP " + std::to_string(udp) + ", not " + std::to_string(port_);
    return nullptr;
  }
  // Sound goes nowhere and comes from nowhere, but it flows: a silent card for every use.
  const std::string card = AddSilentCard(core);
  linphone_core_set_capture_device(core, card.c_str());
  linphone_core_set_playback_device(core, card.c_str());
  linphone_core_set_ringer_device(core, card.c_str());
  // Setting a device never fails; reading it back tells what took effect.
  const char* capture = linphone_core_get_capture_device(core);
  const char* playback = linphone_core_get_playback_device(core);
  if (card.empty() || !capture || !playback || card != capture || card != playback) {
    linphone_core_stop(core);
    linphone_core_unref(core);
    error = "the silent sound card was not taken";
    return nullptr;
  }
  return core;
}

void SipAgent::Loop(LinphoneCore* core) {
  for (;;) {
    {
      std::lock_guard library(libraryMu);
      linphone_core_iterate(core);
    }
    std::deque<Request> batch;
    {
      std::unique_lock lock(mu_);
      if (requests_.empty()) {
        cv_.wait_for(lock, kIteration, [this] { return stopping_ || !requests_.empty(); });
      }
      if (stopping_) break;
      batch.swap(requests_);
    }
    std::lock_guard library(libraryMu);
    for (auto& request : batch) request(core);
    if (!batch.empty()) linphone_core_iterate(core);
    AnswerPending();
    WatchRtp();
  }
}

void SipAgent::Shutdown(LinphoneCore* core) {
  std::deque<Request> unrun;
  {
    std::lock_guard lock(mu_);
    accepting_ = false;
    unrun.swap(requests_);
  }
  unrun.clear();  // their callers see a broken promise at once
  std::unique_lock library(libraryMu);
  for (LinphoneCall* call : pending_) linphone_call_unref(call);
  pending_.clear();
  // Send the BYEs and give the peers a moment to answer, bounded.
  if (linphone_core_get_calls_nb(core) > 0) {
    linphone_core_terminate_all_calls(core);
    const auto deadline = std::chrono::steady_clock::now() + kHangupDrain;
    while (linphone_core_get_calls_nb(core) > 0 && std::chrono::steady_clock::now() < deadline) {
      linphone_core_iterate(core);
      library.unlock();
      std::this_thread::sleep_for(10ms);
      library.lock();
    }
  }
  Forget(current_);
  linphone_core_stop(core);
  linphone_core_unref(core);
  library.unlock();
  std::lock_guard lock(mu_);
  status_.running = false;
  status_.state = "off";
}

void SipAgent::Forget(LinphoneCall*& call) {
  if (call) linphone_call_unref(call);
  call = nullptr;
}

void SipAgent::CallState(LinphoneCall* call, int stateValue, std::string_view message) {
  const auto state = static_cast<LinphoneCallState>(stateValue);
  std::string line;
  {
    std::lock_guard lock(mu_);
    if (state != LinphoneCallStateReleased) status_.state = StateName(state);
    switch (state) {
      case LinphoneCallStateIncomingReceived:
        ++status_.received;
        status_.remote = AddressText(linphone_call_get_remote_address(call));
        status_.rtpPackets = 0;
        line = "sip incoming " + status_.remote;
        break;
      case LinphoneCallStateOutgoingRinging: line = "sip ringing"; break;
      case LinphoneCallStateConnected:
        ++status_.connected;
        line = "sip connected";
        break;
      case LinphoneCallStateEnd:
      case LinphoneCallStateError:
        ++status_.ended;
        status_.lastEnd = std::string(message);
        line = std::string(state == LinphoneCallStateEnd ? "sip ended " : "sip failed ") + status_.lastEnd;
        break;
      default: break;
    }
  }
  // Answering inside the callback would send requests out of order: the loop answers after it.
  if (state == LinphoneCallStateIncomingReceived) {
    pending_.push_back(linphone_call_ref(call));
    Forget(current_);
    current_ = linphone_call_ref(call);
  }
  if (state == LinphoneCallStateReleased && call == current_) Forget(current_);
  if (!line.empty()) Event(std::move(line));
}

void SipAgent::AnswerPending() {
  if (pending_.empty()) return;
  const SipAnswer mode = Status().answer;
  std::vector<LinphoneCall*> calls;
  calls.swap(pending_);
  for (LinphoneCall* call : calls) {
    if (linphone_call_get_state(call) == LinphoneCallStateIncomingReceived) {
      // The line comes first: the library reports the new state before it returns.
      if (mode == SipAnswer::Auto) {
        Event("sip answer");
        linphone_call_accept(call);
      } else if (mode == SipAnswer::Busy) {
        Event("sip busy");
        linphone_call_decline(call, LinphoneReasonBusy);
      }
    }
    linphone_call_unref(call);
  }
}

void SipAgent::WatchRtp() {
  if (!current_) return;
  const LinphoneCallState state = linphone_call_get_state(current_);
  if (state != LinphoneCallStateStreamsRunning && state != LinphoneCallStateConnected) return;
  LinphoneCallStats* stats = linphone_call_get_audio_stats(current_);
  if (!stats) return;
  const rtp_stats_t* rtp = linphone_call_stats_get_rtp_stats(stats);
  const uint64_t packets = rtp ? rtp->packet_recv : 0;
  linphone_call_stats_unref(stats);
  bool first = false;
  {
    std::lock_guard lock(mu_);
    first = status_.rtpPackets == 0 && packets > 0;
    status_.rtpPackets = packets;
  }
  if (first) Event("sip rtp");
}

}  // namespace doorsim
