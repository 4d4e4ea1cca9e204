// Xvfb, trayer and X client tools driven for end-to-end tests.
#include "tests/support/x_session.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace test_support {

using namespace std::chrono_literals;

std::uint32_t Screenshot::at(int x, int y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return 0;
  const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
  return (std::uint32_t{rgb[i]} << 16) | (std::uint32_t{rgb[i + 1]} << 8) | rgb[i + 2];
}

CommandResult RunCommand(const std::string& executable, const std::vector<std::string>& args,
                         const ChildEnvironment& environment, std::chrono::milliseconds timeout) {
  CommandResult result;
  ChildProcess child;
  if (!child.Start(executable, args, environment)) return result;
  child.CloseStdin();
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!child.OutputEnded() && std::chrono::steady_clock::now() < deadline) {
    if (auto line = child.ReadLine(100ms)) result.output += *line + "\n";
  }
  if (auto exit = child.Wait(std::chrono::duration_cast<std::chrono::milliseconds>(
          std::max(deadline - std::chrono::steady_clock::now(), std::chrono::steady_clock::duration(0))))) {
    result.finished = true;
    result.exitCode = exit->signalled ? 128 + exit->code : exit->code;
  }
  return result;
}

XSession::~XSession() {
  if (tray_.Running()) tray_.Signal(SIGTERM);
  if (xvfb_.Running()) xvfb_.Signal(SIGTERM);
  tray_.Wait(2s);
  xvfb_.Wait(2s);
}

namespace {

// Held while a server picks its display and proves it ready. Xvfb picks the number without a lock file
// when it reports it through -displayfd, so servers started at once by parallel tests could take the same
// number, and one test's clients would reach the other's server.
class DisplayPickGuard {
 public:
  DisplayPickGuard() : fd_(open("/tmp/kestrova-tests-display.lock", O_RDWR | O_CREAT | O_CLOEXEC, 0666)) {
    if (fd_ >= 0) flock(fd_, LOCK_EX);
  }
  ~DisplayPickGuard() {
    if (fd_ >= 0) close(fd_);
  }
  DisplayPickGuard(const DisplayPickGuard&) = delete;
  DisplayPickGuard& operator=(const DisplayPickGuard&) = delete;

 private:
  int fd_;
};

}  // namespace

bool XSession::StartServer() {
  const DisplayPickGuard guard;
  // -displayfd picks a free display and writes its number to our pipe once the server is ready.
  // -noreset: by default the server resets when its last client leaves (our readiness check, when no
  // tray host follows), and a client that connects during the reset is refused.
  if (!xvfb_.Start("/usr/bin/Xvfb",
                   {"-displayfd", "1", "-screen", "0", "800x600x24", "-wr", "-nolisten", "tcp", "-noreset"}))
    return false;
  std::optional<std::string> number = xvfb_.ReadLine(15s);
  if (!number || number->empty()) return false;
  display_ = ":" + *number;
  // Only a client that got in proves the display is ours and listening.
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  while (xvfb_.Running() && std::chrono::steady_clock::now() < deadline)
    if (Run("/usr/bin/xdpyinfo", {}).exitCode == 0) return true;
  return false;
}

bool XSession::StartTray() {
  if (!tray_.Start("/usr/bin/trayer",
                   {"--edge", "bottom", "--align", "right", "--widthtype", "request", "--height", "24"},
                   Environment()))
    return false;
  // The tray is ready once its panel window exists; an icon added earlier might not be embedded.
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  while (tray_.Running() && std::chrono::steady_clock::now() < deadline)
    if (!Run("/usr/bin/xdotool", {"search", "--classname", "panel"}).output.empty()) return true;
  return false;
}

bool XSession::Start(bool trayHost) {
  // A server or tray that lost a race for a display or died early is started again.
  bool server = false;
  for (int attempt = 0; attempt < 3 && !server; ++attempt) {
    if (attempt > 0) xvfb_ = ChildProcess();
    server = StartServer();
  }
  if (!server || !trayHost) return server;
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (attempt > 0) tray_ = ChildProcess();
    if (StartTray()) return true;
  }
  return false;
}

ChildEnvironment XSession::Environment(std::vector<std::pair<std::string, std::string>> extra) const {
  ChildEnvironment env;
  env.set = std::move(extra);
  env.set.emplace_back("DISPLAY", display_);
  env.unset = {"WAYLAND_DISPLAY", "QT_QPA_PLATFORM"};
  return env;
}

CommandResult XSession::Run(const std::string& executable, const std::vector<std::string>& args) const {
  return RunCommand(executable, args, Environment());
}

std::vector<std::string> XSession::FindWindows(const std::string& windowClass,
                                               const std::string& name) const {
  std::vector<std::string> found;
  CommandResult ids = Run("/usr/bin/xdotool", {"search", "--class", windowClass});
  std::istringstream lines(ids.output);
  for (std::string id; std::getline(lines, id);) {
    if (id.empty()) continue;
    CommandResult title = Run("/usr/bin/xdotool", {"getwindowname", id});
    if (title.output == name + "\n") found.push_back(id);
  }
  return found;
}

std::optional<std::vector<int>> XSession::Geometry(const std::string& window) const {
  CommandResult r = Run("/usr/bin/xdotool", {"getwindowgeometry", "--shell", window});
  int x = 0, y = 0, w = 0, h = 0, seen = 0;
  std::istringstream lines(r.output);
  for (std::string line; std::getline(lines, line);) {
    seen += std::sscanf(line.c_str(), "X=%d", &x) + std::sscanf(line.c_str(), "Y=%d", &y) +
            std::sscanf(line.c_str(), "WIDTH=%d", &w) + std::sscanf(line.c_str(), "HEIGHT=%d", &h);
  }
  if (seen != 4) return std::nullopt;
  return std::vector<int>{x, y, w, h};
}

std::optional<Screenshot> XSession::Shoot(const std::string& scratchFolder) const {
  const std::string path = scratchFolder + "/screen.ppm";
  CommandResult r = Run("/usr/bin/import", {"-window", "root", "-depth", "8", path});
  if (!r.finished || r.exitCode != 0) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  std::string magic;
  int maxValue = 0;
  Screenshot shot;
  in >> magic >> shot.width >> shot.height >> maxValue;
  in.get();
  if (magic != "P6" || maxValue != 255 || shot.width <= 0 || shot.height <= 0) return std::nullopt;
  shot.rgb.resize(static_cast<std::size_t>(shot.width) * shot.height * 3);
  in.read(reinterpret_cast<char*>(shot.rgb.data()), static_cast<std::streamsize>(shot.rgb.size()));
  if (!in) return std::nullopt;
  return shot;
}

}  // namespace test_support
