// sipp as the other side of a SIP test: a registrar, a door unit that calls or answers, a telephone the
// simulated unit calls. Its scenario is a text the test gives (with its own values filled in) or one of
// sipp's own; its screen goes to a log file.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"

namespace test_support {

class SippPeer {
 public:
  SippPeer() = default;
  ~SippPeer();
  SippPeer(const SippPeer&) = delete;
  SippPeer& operator=(const SippPeer&) = delete;

  // Runs sipp on 127.0.0.1:port (0: a free port) with the scenario for `calls` calls (a registration is
  // one); extra: further arguments (e.g. the address to call). False when it could not be started.
  bool Start(const std::string& scenario, int port, const std::vector<std::string>& extra = {},
             int calls = 1);
  // The same with sipp's built-in scenario `name` ("uas" answers a call).
  bool StartBuiltIn(const std::string& name, int port, const std::vector<std::string>& extra = {},
                    int calls = 1);
  // Sends the RTP it receives back (sipp's media on a free port), for calls that must carry sound.
  void EchoRtp() { echoRtp_ = true; }
  // The SIP port sipp listens on.
  int Port() const { return port_; }
  // sipp's exit code when it ended within the timeout: 0 when the scenario ran through.
  std::optional<int> Wait(std::chrono::milliseconds timeout);
  // What sipp wrote, and its error log, for failure messages.
  std::string Log() const;

 private:
  bool Launch(std::vector<std::string> scenarioArgs, int port, const std::vector<std::string>& extra,
              int calls);

  TempFolder folder_;
  pid_t pid_ = -1;
  int port_ = 0;
  bool echoRtp_ = false;
  std::optional<int> exit_;
};

// The text with every "@NAME@" in values replaced.
std::string FillIn(std::string text, const std::vector<std::pair<std::string, std::string>>& values);

}  // namespace test_support
