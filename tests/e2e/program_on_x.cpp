// The real program on its own X display, watching the door simulator program.
#include "tests/e2e/program_on_x.h"

#include <sys/stat.h>

#include <csignal>
#include <filesystem>

#include "platform/core/profile.h"
#include "tests/support/poll.h"

namespace e2e {

using namespace std::chrono_literals;
using test_support::PollUntil;

std::ostream& operator<<(std::ostream& out, const Geometry& g) {
  return out << g.w << "x" << g.h << " at " << g.x << "," << g.y;
}

void ProgramOnX::SetUp() {
  for (const char* folder : {"run", "cfg", "cfg/Kestrova", "home", "data"})
    mkdir((tmp / folder).c_str(), 0700);
}

void ProgramOnX::StartDisplay(bool trayHost) { ASSERT_TRUE(x.Start(trayHost)) << "Xvfb did not start"; }

void ProgramOnX::StartWindowManager() {
  // The manager is in charge once it has published its check window on the root. One that ended
  // before that (it can lose a race with the display's start under load) is started again.
  auto inCharge = [&] {
    return x.Run("/usr/bin/xprop", {"-root", "_NET_SUPPORTING_WM_CHECK"}).output.find("window id") !=
           std::string::npos;
  };
  bool started = false;
  for (int attempt = 0; attempt < 3 && !started; ++attempt) {
    if (attempt > 0) wm = test_support::ChildProcess();
    ASSERT_TRUE(wm.Start("/usr/bin/openbox", {"--sm-disable"}, x.Environment({{"HOME", tmp / "home"}})))
        << wm.LastError();
    started = PollUntil([&] { return inCharge() || !wm.Running(); }, 15s) && inCharge();
  }
  ASSERT_TRUE(started) << "openbox did not take over the display";
}

void ProgramOnX::StartUnit(const std::string& listen) {
  ASSERT_TRUE(unit.Start(DOORSIM_BINARY, {"--listen", listen, "--size", "320x240", "--fps", "10"}))
      << unit.LastError();
  auto line = unit.ReadLine(10s);
  ASSERT_TRUE(line.has_value()) << "the simulator gave no address";
  address = *line;
}

void ProgramOnX::WriteSettings(const std::string& text) {
  ASSERT_TRUE(test_support::WriteFile(tmp / "cfg/Kestrova/Kestrova.ini", text));
}

void ProgramOnX::StartProgram(const std::vector<std::pair<std::string, std::string>>& extra) {
  // The visitor log too stays in the test's folder, not in the user's.
  std::vector<std::pair<std::string, std::string>> environment{{"ALLUSERSPROFILE", tmp / "cfg"},
                                                               {"XDG_RUNTIME_DIR", tmp / "run"},
                                                               {"XDG_DATA_HOME", tmp / "data"},
                                                               {"no_proxy", "127.0.0.1,localhost"}};
  environment.insert(environment.end(), extra.begin(), extra.end());
  ASSERT_TRUE(program.Start(KESTROVA_BINARY, {}, x.Environment(environment))) << program.LastError();
  // Its text is the program's name until the unit's title replaces it.
  window.clear();
  ASSERT_TRUE(PollUntil(
      [&] {
        for (const char* name : {"Kestrova_1.39", "Front door"}) {
          const std::vector<std::string> found = x.FindWindows("KestrovaClass", name);
          if (!found.empty()) window = found.front();
        }
        return !window.empty();
      },
      30s))
      << "no main window";
}

void ProgramOnX::ExpectExitWithin(std::chrono::seconds deadline) {
  auto exit = program.Wait(deadline);
  ASSERT_TRUE(exit.has_value()) << "the program did not end";
  EXPECT_TRUE(exit->ExitedWith(0)) << exit->Describe();
}

bool ProgramOnX::WindowNamed(const std::string& name) {
  return !x.FindWindows("KestrovaClass", name).empty();
}

Geometry ProgramOnX::Where() {
  auto g = x.Geometry(window);
  return g ? Geometry{(*g)[0], (*g)[1], (*g)[2], (*g)[3]} : Geometry{};
}

bool ProgramOnX::Mapped() {
  return x.Run("/usr/bin/xwininfo", {"-id", window}).output.find("IsViewable") != std::string::npos;
}

void ProgramOnX::Xdo(const std::vector<std::string>& args) { x.Run("/usr/bin/xdotool", args); }

void ProgramOnX::PointerTo(int px, int py) { Xdo({"mousemove", std::to_string(px), std::to_string(py)}); }

std::optional<test_support::Screenshot> ProgramOnX::Shot() { return x.Shoot(tmp.path()); }

int ProgramOnX::Saved(const char* key) {
  return GetPrivateProfileInt("Window 0", key, -9999, (tmp / "cfg/Kestrova/Kestrova.ini").c_str());
}

bool ProgramOnX::PictureFileLeft() {
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(tmp / "run/kestrova", ec))
    if (entry.path().extension() == ".tmp") return true;
  return false;
}

namespace {

bool IsNoticeYellow(std::uint32_t c) {
  return ((c >> 16) & 0xFF) > 200 && ((c >> 8) & 0xFF) > 200 && (c & 0xFF) < 90;
}

}  // namespace

int NoticePixels(const test_support::Screenshot& shot, const Geometry& g) {
  int yellow = 0;
  for (int py = 30; py < 46; ++py)
    for (int px = 20; px < 200; ++px) yellow += IsNoticeYellow(shot.at(g.x + px, g.y + py));
  return yellow;
}

std::uint64_t VideoArea(const test_support::Screenshot& shot, const Geometry& g) {
  std::uint64_t h = 0;
  for (int py = 60; py < 250; py += 2)
    for (int px = 20; px < 310; px += 2) h = h * 1099511628211ULL + shot.at(g.x + px, g.y + py);
  return h;
}

}  // namespace e2e
