// The relay buttons and their commands against the door simulator: what reaches the unit, what a unit
// that answers or does not answer shows in the window, the video's return, and shutdown.
#include "door/relay.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

#include "door/relay_workers.h"
#include "platform/gui/surface_access.h"
#include "platform/gui/window.h"
#include "state/display_record.h"
#include "state/program.h"
#include "state/settings.h"
#include "tests/support/poll.h"
#include "tests/unit/door/door_fixture.h"
#include "window/button_actions.h"

namespace {

using namespace std::chrono_literals;
using door_test::RelayTest;
using doorsim::FaultMode;

bool Done() { return RelayPressesPending() == 0; }

// What the surface shows at piece-local (x, y) of the place of piece `at`, and what piece `piece` has there.
std::uint32_t ShownAt(int at, int x, int y) {
  return CopySurface(g_hwndMain).at(Skin[at].PosY + x, Skin[at].PosX + y);
}
std::uint32_t PieceAt(int piece, int x, int y) { return GetBitmapPixel(Skin[piece].ShBitmap, x, y); }

TEST_F(RelayTest, EachPressReachesTheUnitOnceAndAnyAnswerLeavesTheVideoAlone) {
  ASSERT_NO_FATAL_FAILURE(StartVideo());
  ASSERT_NE(PieceAt(SKIN_BR_B1_OVER, 36, 17), PieceAt(SKIN_BR_B1_UP, 36, 17));

  MyLButtonUp(SKIN_BR_B1_OVER);
  EXPECT_EQ(ShownAt(SKIN_BR_B1_UP, 36, 17), PieceAt(SKIN_BR_B1_OVER, 36, 17))
      << "the hovered look is not back";
  ASSERT_TRUE(WaitFor([&] { return unit->RelayCount(1) == 1 && Done(); }));
  EXPECT_EQ(unit->LastUserAgent(), "Kestrova_1.39");
  // Two quick presses are two requests.
  MyLButtonUp(SKIN_BR_B2_OVER);
  MyLButtonUp(SKIN_BR_B2_OVER);
  EXPECT_EQ(ShownAt(SKIN_BR_B2_UP, 36, 17), PieceAt(SKIN_BR_B2_OVER, 36, 17));
  ASSERT_TRUE(WaitFor([&] { return unit->RelayCount(2) == 2 && Done(); }));
  EXPECT_EQ(unit->RelayCount(1), 1);

  // The whole address goes into the URL, however long.
  const std::string longest = door_test::LongestAddress(unit->Address());
  ASSERT_EQ(longest.size(), 63u);
  SetAddress(longest);
  MyLButtonUp(SKIN_BR_B1_OVER);
  ASSERT_TRUE(WaitFor([&] { return unit->RelayCount(1) == 2 && Done(); }));
  SetAddress(unit->Address());

  // Error pages are answers: nothing is switched, nothing changes here.
  for (int status : {404, 500}) {
    SetFault(FaultMode::ErrorPage, status);
    MyLButtonUp(SKIN_BR_B1_OVER);
    ASSERT_TRUE(WaitFor(Done));
  }
  EXPECT_EQ(unit->RelayCount(1), 2);
  EXPECT_FALSE(ShowData.Kill_TCP);
  EXPECT_EQ(paints, 0);
  EXPECT_FALSE(NoticeShown());
}

TEST_F(RelayTest, WithoutVideoOrWithoutAnAnswerTheWindowShowsTheNoticeEvenWhenHiddenAndTheVideoReturns) {
  // The video is not connected yet: a command that succeeds repaints the hidden window.
  ASSERT_FALSE(IsWindowVisible(g_hwndMain));
  ASSERT_TRUE(ShowData.Kill_TCP);
  StartRelay(2);
  ASSERT_TRUE(WaitFor([&] { return unit->RelayCount(2) == 1 && Done(); }));
  EXPECT_EQ(paints, 1);
  EXPECT_TRUE(IsWindowVisible(g_hwndMain));
  EXPECT_TRUE(NoticeShown());

  ASSERT_NO_FATAL_FAILURE(StartVideo());
  ASSERT_TRUE(WaitFor([] { return !NoticeShown(); })) << "the picture did not replace the notice";
  ShowWindow(g_hwndMain, SW_HIDE);
  // A unit that refuses the connection: the command fails, the hidden window comes back with the notice.
  SetAddress("127.0.0.1:" + std::to_string(door_test::ClosedPort()));
  StartRelay(1);
  SetAddress(unit->Address());
  ASSERT_TRUE(WaitFor([] { return paints == 2 && Done(); }));
  EXPECT_TRUE(IsWindowVisible(g_hwndMain));
  const int before = Pictures();
  // The reader dropped its connection, and timer 0 brings the video back.
  EXPECT_TRUE(WaitFor([&] { return !ShowData.Kill_TCP && Pictures() >= before + 3 && !NoticeShown(); }))
      << "the video did not come back";
  EXPECT_EQ(unit->RelayCount(1), 0);
}

TEST_F(RelayTest, UnitsThatDropTheConnectionOrNeverAnswerFailWithinTheTimeOuts) {
  door_test::DroppingListener dropping;
  const std::string refused = "127.0.0.1:" + std::to_string(door_test::ClosedPort());
  SetFault(FaultMode::Stall);
  struct Case {
    std::string address;
    std::atomic<int> answered{-1};
  };
  std::vector<Case> cases(3);
  cases[0].address = refused;
  cases[1].address = dropping.Address();
  cases[2].address = unit->Address();
  std::vector<std::jthread> threads;
  for (Case& c : cases)
    threads.emplace_back([&c] { c.answered = SendRelayCommand(1, c.address.c_str(), {}); });
  // The connection time-out and the request's limit bound them all.
  EXPECT_TRUE(test_support::PollUntil(
      [&] {
        for (const Case& c : cases)
          if (c.answered == -1) return false;
        return true;
      },
      40s));
  for (const Case& c : cases) EXPECT_EQ(c.answered, FALSE) << c.address;
  threads.clear();
  EXPECT_EQ(unit->RelayCount(1), 0);
}

TEST_F(RelayTest, ABurstWaitsForFreeWorkersLosesNoPressAndShutdownCutsCommandsOff) {
  ShowData.Kill_TCP = FALSE;  // as while the video runs: a repaint would come from a failure only
  SetFault(FaultMode::Stall);
  for (int i = 0; i < kRelayWorkers + 3; ++i) StartRelay(1 + i % 2);
  EXPECT_EQ(RelayPressesWaiting(), 3u);
  EXPECT_EQ(RelayPressesPending(), static_cast<std::size_t>(kRelayWorkers + 3));
  SetFault(FaultMode::None);
  ASSERT_TRUE(
      WaitFor([&] { return unit->RelayCount(1) + unit->RelayCount(2) == kRelayWorkers + 3 && Done(); }));
  EXPECT_EQ(paints, 0);

  // Commands waiting for a silent unit at shutdown: stopped at once, nothing drawn, no failure shown.
  SetFault(FaultMode::Stall);
  StartRelay(1);
  StartRelay(2);
  EXPECT_TRUE(AbandonRelayCommands(5s)) << "stopped commands did not end";
  EXPECT_EQ(paints, 0);
  EXPECT_FALSE(ShowData.Kill_TCP);
  // Presses after that start afresh.
  SetFault(FaultMode::None);
  StartRelay(2);
  ASSERT_TRUE(WaitFor([&] { return unit->RelayCount(2) == (kRelayWorkers + 3) / 2 + 1 && Done(); }));
}

}  // namespace
