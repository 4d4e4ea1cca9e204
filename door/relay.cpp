// The relay command of one press.
#include "door/relay.h"

#include <atomic>
#include <cstdio>

#include "platform/http/http_stream.h"
#include "state/door_address.h"
#include "state/program.h"

namespace {

std::atomic<RelayPainter> painter{nullptr};
std::atomic<RelayResultSink> resultSink{nullptr};

}  // namespace

void SetRelayPainter(RelayPainter paint) { painter = paint; }
void SetRelayResultSink(RelayResultSink sink) { resultSink = sink; }

void FormatRelayUrl(char (&url)[kRelayUrlSize], int rele, const char* address) {
  std::snprintf(url, sizeof url, "http://%s/cgi-bin/remctrl.sh?id=relay%d", DoorUrlAddress(address).c_str(),
                rele == 2 ? 2 : 1);
}

BOOL SendRelayCommand(int rele, const char* address, std::stop_token stop, int* status) {
  char url[kRelayUrlSize];
  FormatRelayUrl(url, rele, address);
  // Whatever the unit answers (an error page too) is an answer; its body is of no interest.
  return HttpRequestOnce(kProgramName, url, kRelayTimeoutMs, kRelayConnectTimeoutMs, stop, status);
}

void relay(int rele, unsigned press, const char* address, std::stop_token stop, ProgramLink& link) {
  int status = 0;
  const BOOL answered = SendRelayCommand(rele, address, stop, &status);
  // Stopped at shutdown: the unit did not fail, the program is going away.
  if (stop.stop_requested()) return;
  ProgramLink::Hold hold = link.Take();
  if (!hold) return;
  if (!answered) ShowData.Kill_TCP = TRUE;
  // While the video is lost, by this failure or from before, the window shows the connecting notice
  // again, and a hidden window comes back with it.
  if (ShowData.Kill_TCP)
    if (RelayPainter paint = painter.load()) paint(ShowData);
  // An answer without a status line is no answer the window could name.
  if (RelayResultSink sink = resultSink.load()) sink(press, answered ? status : 0);
}
