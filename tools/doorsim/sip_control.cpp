// The SIP side through the server: its start and stop, its C++ calls and its control requests.
#include <cstdio>

#include "tools/doorsim/server_impl.h"
#include "tools/doorsim/socket_io.h"

namespace doorsim {
namespace {

std::string JsonText(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char esc[8];
      std::snprintf(esc, sizeof esc, "\\u%04x", c);
      out += esc;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string StatusJson(const SipStatus& s) {
  return std::string("{\"running\":") + (s.running ? "true" : "false") + ",\"state\":" + JsonText(s.state) +
         ",\"remote\":" + JsonText(s.remote) + ",\"received\":" + std::to_string(s.received) +
         ",\"placed\":" + std::to_string(s.placed) + ",\"connected\":" + std::to_string(s.connected) +
         ",\"ended\":" + std::to_string(s.ended) + ",\"last_end\":" + JsonText(s.lastEnd) +
         ",\"rtp\":" + (s.rtpPackets > 0 ? "true" : "false") +
         ",\"rtp_packets\":" + std::to_string(s.rtpPackets) +
         ",\"answer\":" + JsonText(SipAnswerName(s.answer)) + ",\"error\":" + JsonText(s.error) + "}\n";
}

}  // namespace

bool Server::SipCall(std::string_view uri, std::string* error) {
  std::string why;
  const bool ok = impl_->sip ? impl_->sip->Call(uri, why) : (why = "the SIP side is off", false);
  if (error) *error = why;
  return ok;
}

bool Server::SipHangup() { return impl_->sip && impl_->sip->Hangup(); }

void Server::SetSipAnswer(SipAnswer mode) {
  if (impl_->sip) impl_->sip->SetAnswer(mode);
}

SipStatus Server::Sip() const {
  SipStatus s = impl_->sip ? impl_->sip->Status() : SipStatus{};
  s.error = impl_->sipError;
  return s;
}

void Server::Impl::SipControl(int fd, const Request& req) {
  const QueryParams params = ParseQuery(req.query);
  auto reply = [fd](int status, std::string_view text) {
    SendAll(fd, TextResponse(status, "text/plain", std::string(text) + "\n"));
  };
  if (req.path == "/sim/sipstate") {
    SipStatus s = sip ? sip->Status() : SipStatus{};
    s.error = sipError;
    SendAll(fd, TextResponse(200, "application/json", StatusJson(s)));
  } else if (!sip || !sip->Status().running) {
    reply(503, "the SIP side is off");
  } else if (req.path == "/sim/sipcall") {
    const std::string* to = params.Find("to");
    std::string error;
    if (!to || to->empty()) return reply(400, "to: a SIP address");
    if (!sip->Call(*to, error)) return reply(400, error);
    reply(200, "ok");
  } else if (req.path == "/sim/siphangup") {
    const bool ended = sip->Hangup();
    reply(ended ? 200 : 409, ended ? "ok" : "no call");
  } else if (req.path == "/sim/sipanswer") {
    const std::string* mode = params.Find("mode");
    const std::optional<SipAnswer> parsed = mode ? ParseSipAnswer(*mode) : std::nullopt;
    if (!parsed) return reply(400, "mode: auto, busy or never");
    sip->SetAnswer(*parsed);
    reply(200, "ok");
  } else {
    reply(404, "not found");
  }
}

}  // namespace doorsim
