// sipp as the other side of a SIP test: a registrar, a door unit that calls or answers. Its scenario is a
// text the test gives (with its own values filled in); its screen goes to a log file.
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

  // Runs sipp on 127.0.0.1:port with the scenario for `calls` calls (a registration is one); extra:
  // further arguments (e.g. the address to call). False when it could not be started.
  bool Start(const std::string& scenario, int port, const std::vector<std::string>& extra = {},
             int calls = 1);
  // sipp's exit code when it ended within the timeout: 0 when the scenario ran through.
  std::optional<int> Wait(std::chrono::milliseconds timeout);
  // What sipp wrote, and its error log, for failure messages.
  std::string Log() const;

 private:
  TempFolder folder_;
  pid_t pid_ = -1;
  std::optional<int> exit_;
};

// The text with every "@NAME@" in values replaced.
std::string FillIn(std::string text, const std::vector<std::pair<std::string, std::string>>& values);

}  // namespace test_support
