// A private X display for end-to-end tests: Xvfb, an optional tray host, command runs, screenshots.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/child_process.h"

namespace test_support {

struct Screenshot {
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgb;         // 3 bytes a pixel, row by row
  std::uint32_t at(int x, int y) const;  // 0x00RRGGBB
};

struct CommandResult {
  bool finished = false;  // ended before the deadline
  int exitCode = -1;
  std::string output;  // stdout
};

// Runs a program (absolute path, no shell) to its end with a deadline and collects its output.
CommandResult RunCommand(const std::string& executable, const std::vector<std::string>& args,
                         const ChildEnvironment& environment = {},
                         std::chrono::milliseconds timeout = std::chrono::seconds(10));

class XSession {
 public:
  ~XSession();
  // Starts Xvfb on a free display (white root window, so that cut window corners show) and,
  // if asked, trayer as the notification area. False when the display did not come up.
  bool Start(bool trayHost);
  const std::string& display() const { return display_; }
  // DISPLAY for children, plus the given variables.
  ChildEnvironment Environment(std::vector<std::pair<std::string, std::string>> extra = {}) const;
  // Runs an X client against this display.
  CommandResult Run(const std::string& executable, const std::vector<std::string>& args) const;
  // Ids of the windows whose class is `windowClass` and whose name is exactly `name`.
  std::vector<std::string> FindWindows(const std::string& windowClass, const std::string& name) const;
  // x, y, width, height of a window on the screen.
  std::optional<std::vector<int>> Geometry(const std::string& window) const;
  std::optional<Screenshot> Shoot(const std::string& scratchFolder) const;

 private:
  bool StartServer();
  bool StartTray();

  ChildProcess xvfb_, tray_;
  std::string display_;
};

}  // namespace test_support
