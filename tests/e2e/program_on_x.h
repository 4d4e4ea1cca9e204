// The real program on its own X display, watching the door simulator program: the fixture of the
// end-to-end tests that drive the program like a user (pointer, window manager, signals).
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/temp_folder.h"
#include "tests/support/x_session.h"

namespace e2e {

struct Geometry {
  int x = 0, y = 0, w = 0, h = 0;
  bool operator==(const Geometry&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Geometry& g);

class ProgramOnX : public ::testing::Test {
 protected:
  void SetUp() override;

  void StartDisplay(bool trayHost);
  // Openbox in charge of the display.
  void StartWindowManager();
  // The door simulator program; `listen` is ADDR:PORT (port 0: a free one).
  void StartUnit(const std::string& listen = "127.0.0.1:0");
  // The settings file's whole text (CR LF line ends are the caller's).
  void WriteSettings(const std::string& text);
  // Starts the program (extra: further environment variables) and waits for its main window.
  void StartProgram(const std::vector<std::pair<std::string, std::string>>& extra = {});
  // Waits for the program to end; fails unless it ended with 0.
  void ExpectExitWithin(std::chrono::seconds deadline);

  bool WindowNamed(const std::string& name);
  Geometry Where();
  bool Mapped();
  void Xdo(const std::vector<std::string>& args);
  void PointerTo(int px, int py);
  std::optional<test_support::Screenshot> Shot();
  // A key of the window section of the settings file, -9999 when missing.
  int Saved(const char* key);
  // Whether the runtime folder still holds a picture file.
  bool PictureFileLeft();

  test_support::TempFolder tmp;
  test_support::XSession x;
  test_support::ChildProcess wm, unit, program;
  std::string window;   // the main window's id
  std::string address;  // the simulator's ADDR:PORT
};

// Where on the screen the parts of a window at g are: the title bar's buttons, the video area.
inline int CloseButtonX(const Geometry& g) { return g.x + g.w - 70 + 52; }
inline int HideButtonX(const Geometry& g) { return g.x + g.w - 70 + 32; }
inline int SettingsButtonX(const Geometry& g) { return g.x + g.w - 70 + 10; }
inline int TitleBarY(const Geometry& g) { return g.y + 10; }

// Yellow pixels of the connecting notice in the window's top-left video area.
int NoticePixels(const test_support::Screenshot& shot, const Geometry& g);
// A fingerprint of the video area below the notice's rows: it changes while the picture moves.
std::uint64_t VideoArea(const test_support::Screenshot& shot, const Geometry& g);

}  // namespace e2e
