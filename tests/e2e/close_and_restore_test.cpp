// The real program closed and put away like a user does it: two closes at once save the place and size
// the user left, and a window put away to the task bar comes back with live video.
#include <gtest/gtest.h>

#include <csignal>

#include "tests/e2e/program_on_x.h"
#include "tests/support/poll.h"

namespace {

using namespace std::chrono_literals;
using e2e::Geometry;
using test_support::PollUntil;

class ProgramUsedOnX : public e2e::ProgramOnX {};

TEST_F(ProgramUsedOnX, TwoClosesInQuickSuccessionSaveThePlaceAndSizeTheUserLeft) {
  ASSERT_NO_FATAL_FAILURE(StartDisplay(true));
  ASSERT_NO_FATAL_FAILURE(StartUnit());
  for (const bool bySignal : {false, true}) {
    SCOPED_TRACE(bySignal ? "the close button, then SIGTERM" : "the close button twice");
    ASSERT_NO_FATAL_FAILURE(
        WriteSettings("[Window 0]\r\nIP_addr=" + address + "\r\nLeft=150\r\nTop=100\r\n"));
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    // With live video the painting keeps the size the user gives the window.
    ASSERT_TRUE(PollUntil([&] { return WindowNamed("Front door"); }, 20s)) << "no video";
    Xdo({"windowsize", window, "400", "350"});
    const Geometry resized{150, 100, 400, 350};
    ASSERT_TRUE(PollUntil([&] { return Where() == resized; }, 10s)) << Where();

    PointerTo(e2e::CloseButtonX(resized), e2e::TitleBarY(resized));
    if (bySignal) {
      Xdo({"click", "1"});
      ASSERT_TRUE(program.Signal(SIGTERM));
    } else {
      Xdo({"click", "--repeat", "2", "--delay", "20", "1"});
    }
    // An error box would hold the program open.
    ASSERT_NO_FATAL_FAILURE(ExpectExitWithin(15s));
    EXPECT_EQ(Saved("Left"), 150);
    EXPECT_EQ(Saved("Top"), 100);
    EXPECT_EQ(Saved("Width"), 400);
    EXPECT_EQ(Saved("Height"), 350);
    EXPECT_FALSE(PictureFileLeft());
  }
}

TEST_F(ProgramUsedOnX, AWindowPutAwayToTheTaskBarComesBackWithLiveVideo) {
  // No notification area: the hide button minimises the window to the task bar.
  ASSERT_NO_FATAL_FAILURE(StartDisplay(false));
  ASSERT_NO_FATAL_FAILURE(StartWindowManager());
  ASSERT_NO_FATAL_FAILURE(StartUnit());
  ASSERT_NO_FATAL_FAILURE(WriteSettings("[Window 0]\r\nIP_addr=" + address + "\r\n"));
  ASSERT_NO_FATAL_FAILURE(StartProgram());
  ASSERT_TRUE(PollUntil([&] { return WindowNamed("Front door") && Mapped(); }, 20s));

  Geometry g = Where();
  PointerTo(e2e::HideButtonX(g), e2e::TitleBarY(g));
  Xdo({"click", "1"});
  ASSERT_TRUE(PollUntil([&] { return !Mapped(); }, 10s)) << "the hide button did not put the window away";
  // What a task bar does when the user picks the window.
  Xdo({"windowactivate", window});
  ASSERT_TRUE(PollUntil([&] { return Mapped(); }, 10s)) << "the window did not come back";

  g = Where();
  std::optional<test_support::Screenshot> shot;
  ASSERT_TRUE(PollUntil([&] { return (shot = Shot()) && e2e::NoticePixels(*shot, g) < 20; }, 10s))
      << "no picture drawn";
  const std::uint64_t first = e2e::VideoArea(*shot, g);
  EXPECT_TRUE(PollUntil([&] { return (shot = Shot()) && e2e::VideoArea(*shot, g) != first; }, 10s))
      << "the picture does not move";

  ASSERT_TRUE(program.Signal(SIGTERM));
  ASSERT_NO_FATAL_FAILURE(ExpectExitWithin(15s));
}

}  // namespace
