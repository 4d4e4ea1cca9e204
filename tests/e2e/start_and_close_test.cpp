// The real program on its own X display: the skinned window, the tray icon, closing and the saved geometry.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <csignal>

#include "platform/core/profile.h"
#include "platform/gui/drawing.h"
#include "platform/gui/surface_access.h"
#include "tests/support/child_process.h"
#include "tests/support/poll.h"
#include "tests/support/temp_folder.h"
#include "tests/support/x_session.h"

namespace {

using namespace std::chrono_literals;
using test_support::ChildProcess;
using test_support::PollUntil;
using test_support::TempFolder;
using test_support::XSession;

constexpr const char* kTitle = "Kestrova_1.39";

std::uint32_t PiecePixel(const char* name, int x, int y) {
  HBITMAP piece =
      LoadImageFromFile((std::string(KESTROVA_SOURCE_DIR "/resources/skin/") + name + ".bmp").c_str());
  return GetBitmapPixel(piece, x, y);
}

bool IsNoticeYellow(std::uint32_t c) {
  return ((c >> 16) & 0xFF) > 200 && ((c >> 8) & 0xFF) > 200 && (c & 0xFF) < 90;
}

class KestrovaOnX : public ::testing::Test {
 protected:
  void SetUp() override {
    mkdir((tmp / "run").c_str(), 0700);
    mkdir((tmp / "cfg").c_str(), 0700);
    iniFile = tmp / "cfg/Kestrova/Kestrova.ini";
  }

  void StartDisplay(bool trayHost) { ASSERT_TRUE(x.Start(trayHost)) << "Xvfb did not start"; }

  void StartProgram() {
    ASSERT_TRUE(
        program.Start(KESTROVA_BINARY, {},
                      x.Environment({{"ALLUSERSPROFILE", tmp / "cfg"}, {"XDG_RUNTIME_DIR", tmp / "run"}})))
        << program.LastError();
    ASSERT_TRUE(PollUntil([&] { return (window = FindMainWindow()) != ""; }, 15s)) << "no main window";
  }

  std::string FindMainWindow() {
    std::vector<std::string> found = x.FindWindows("KestrovaClass", kTitle);
    return found.empty() ? "" : found.front();
  }

  bool GeometryIs(int gx, int gy, int gw, int gh) {
    auto g = x.Geometry(window);
    return g && *g == std::vector<int>{gx, gy, gw, gh};
  }

  void CloseWithSigterm() {
    ASSERT_TRUE(program.Signal(SIGTERM));
    auto exit = program.Wait(15s);
    ASSERT_TRUE(exit.has_value()) << "the program did not end on SIGTERM";
    EXPECT_TRUE(exit->ExitedWith(0)) << exit->Describe();
  }

  std::string Describe() {
    auto g = x.Geometry(window);
    if (!g) return "window " + window + " has no geometry";
    return "window " + window + " at " + std::to_string((*g)[0]) + "," + std::to_string((*g)[1]) + " size " +
           std::to_string((*g)[2]) + "x" + std::to_string((*g)[3]);
  }

  int Saved(const char* key) { return GetPrivateProfileInt("Window 0", key, -9999, iniFile.c_str()); }

  TempFolder tmp;
  std::string iniFile;
  XSession x;
  ChildProcess program;
  std::string window;
};

TEST_F(KestrovaOnX, ShowsTheSkinnedWindowWithTrayIconAndSavesItsGeometryOnClose) {
  StartDisplay(true);
  StartProgram();
  ASSERT_TRUE(PollUntil([&] { return GeometryIs(0, 0, 336, 301); }, 10s)) << Describe();
  EXPECT_NE(x.Run("/usr/bin/xprop", {"-id", window, "_NET_WM_STATE"}).output.find("_NET_WM_STATE_ABOVE"),
            std::string::npos);
  // The tray icon is a second window of the program's class, embedded by the tray host.
  EXPECT_TRUE(PollUntil(
      [&] {
        auto r = x.Run("/usr/bin/xdotool", {"search", "--class", "KestrovaClass"});
        return std::count(r.output.begin(), r.output.end(), '\n') >= 2;
      },
      10s));

  std::optional<test_support::Screenshot> shot;
  const std::uint32_t background = PiecePixel("pozadi", 160, 120);
  ASSERT_TRUE(
      PollUntil([&] { return (shot = x.Shoot(tmp.path())) && shot->at(168, 146) == background; }, 10s))
      << "the video area does not show the background";
  for (auto [cx, cy] : {std::pair{0, 0}, {335, 0}, {0, 300}, {335, 300}})
    EXPECT_EQ(shot->at(cx, cy), 0xFFFFFFu) << "corner " << cx << "," << cy << " is not cut";
  EXPECT_EQ(shot->at(4, 150), PiecePixel("l", 4, 50));
  EXPECT_EQ(shot->at(247 + 36, 266 + 17), PiecePixel("br_b1_up", 36, 17));
  int yellow = 0;
  for (int py = 30; py < 46; ++py)
    for (int px = 20; px < 200; ++px) yellow += IsNoticeYellow(shot->at(px, py));
  EXPECT_GT(yellow, 100) << "no connecting notice";

  CloseWithSigterm();
  EXPECT_EQ(Saved("Left"), 0);
  EXPECT_EQ(Saved("Top"), 0);
  EXPECT_EQ(Saved("Width"), 336);
  EXPECT_EQ(Saved("Height"), 301);
}

TEST_F(KestrovaOnX, OpensWhereItWasClosedAndRunsWithoutNotificationArea) {
  StartDisplay(false);
  mkdir((tmp / "cfg/Kestrova").c_str(), 0700);
  ASSERT_TRUE(test_support::WriteFile(iniFile, "[Window 0]\r\nLeft=120\r\nTop=80\r\n"));
  StartProgram();
  ASSERT_TRUE(PollUntil([&] { return GeometryIs(120, 80, 336, 301); }, 10s));

  x.Run("/usr/bin/xdotool", {"windowmove", window, "200", "150"});
  ASSERT_TRUE(PollUntil([&] { return GeometryIs(200, 150, 336, 301); }, 10s));
  CloseWithSigterm();
  EXPECT_EQ(Saved("Left"), 200);
  EXPECT_EQ(Saved("Top"), 150);
  // Lines the program does not write stay as they were.
  EXPECT_NE(test_support::ReadFile(iniFile).find("[Window 0]\r\n"), std::string::npos);
}

}  // namespace
