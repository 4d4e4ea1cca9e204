// sipp as the SIP peer of the simulator's tests: its own ports on 127.0.0.1, one call, RTP echoed.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/temp_folder.h"

namespace doorsim_test {

// A UDP port on 127.0.0.1 that nothing uses at the moment of asking; 0 when none was found.
int FreeUdpPort();

// A sipp call scenario that calls the unit and expects `final` (200, 486, 603...). On 200 the
// answer's Contact must match `contact` (a regular expression), the call lasts `talkMs` and
// sipp ends it; on another final answer sipp acknowledges it and is done.
std::string CallerScenario(int final, const std::string& contact = {}, int talkMs = 0);

class SippPeer {
 public:
  // Runs sipp with `args` after its own address and ports; its files stay in a folder of its own.
  bool Start(const std::vector<std::string>& args);
  // Writes `scenario` into the peer's folder and runs it against `user` at `target` ("ADDR:PORT").
  bool StartScenario(const std::string& scenario, const std::string& user, const std::string& target);
  int Port() const { return port_; }
  std::optional<test_support::ChildExit> Wait(std::chrono::milliseconds timeout) {
    return child_.Wait(timeout);
  }
  // What sipp wrote into its error file, for assertion messages.
  std::string Errors() const;

 private:
  test_support::TempFolder folder_;
  test_support::ChildProcess child_;
  int port_ = 0;
};

}  // namespace doorsim_test
