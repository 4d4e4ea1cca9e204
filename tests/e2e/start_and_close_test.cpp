// The real program on its own X display: the skinned window, the tray icon, closing and the saved geometry.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>

#include "platform/gui/drawing.h"
#include "platform/gui/surface_access.h"
#include "tests/e2e/program_on_x.h"
#include "tests/support/poll.h"

namespace {

using namespace std::chrono_literals;
using e2e::Geometry;
using test_support::PollUntil;

std::uint32_t PiecePixel(const char* name, int x, int y) {
  HBITMAP piece =
      LoadImageFromFile((std::string(KESTROVA_SOURCE_DIR "/resources/skin/") + name + ".bmp").c_str());
  return GetBitmapPixel(piece, x, y);
}

class KestrovaOnX : public e2e::ProgramOnX {
 protected:
  void CloseWithSigterm() {
    ASSERT_TRUE(program.Signal(SIGTERM));
    ASSERT_NO_FATAL_FAILURE(ExpectExitWithin(15s)) << "the program did not end on SIGTERM";
  }
};

TEST_F(KestrovaOnX, ShowsTheSkinnedWindowWithTrayIconAndSavesItsGeometryOnClose) {
  ASSERT_NO_FATAL_FAILURE(StartDisplay(true));
  ASSERT_NO_FATAL_FAILURE(StartProgram());
  ASSERT_TRUE(PollUntil([&] { return Where() == Geometry{0, 0, 336, 301}; }, 10s)) << Where();
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
  EXPECT_GT(e2e::NoticePixels(*shot, Geometry{0, 0, 336, 301}), 100) << "no connecting notice";

  CloseWithSigterm();
  EXPECT_EQ(Saved("Left"), 0);
  EXPECT_EQ(Saved("Top"), 0);
  EXPECT_EQ(Saved("Width"), 336);
  EXPECT_EQ(Saved("Height"), 301);
}

TEST_F(KestrovaOnX, OpensWhereItWasClosedAndRunsWithoutNotificationArea) {
  ASSERT_NO_FATAL_FAILURE(StartDisplay(false));
  ASSERT_NO_FATAL_FAILURE(WriteSettings("[Window 0]\r\nLeft=120\r\nTop=80\r\n"));
  ASSERT_NO_FATAL_FAILURE(StartProgram());
  ASSERT_TRUE(PollUntil([&] { return Where() == Geometry{120, 80, 336, 301}; }, 10s)) << Where();

  x.Run("/usr/bin/xdotool", {"windowmove", window, "200", "150"});
  ASSERT_TRUE(PollUntil([&] { return Where() == Geometry{200, 150, 336, 301}; }, 10s)) << Where();
  CloseWithSigterm();
  EXPECT_EQ(Saved("Left"), 200);
  EXPECT_EQ(Saved("Top"), 150);
  // Lines the program does not write stay as they were.
  EXPECT_NE(test_support::ReadFile(tmp / "cfg/Kestrova/Kestrova.ini").find("[Window 0]\r\n"),
            std::string::npos);
}

}  // namespace
