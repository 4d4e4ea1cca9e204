// When pictures have stopped: the shortest stall, a slow unit's longer one, the planned reconnect's pause.
#include "video/stream/stall_clock.h"

#include <gtest/gtest.h>

namespace {

TEST(StallClock, StallsAfterTwoSecondsOrThreeUsualIntervalsButNotBeforeAPictureOrWhilePaused) {
  StallClock fast;
  EXPECT_EQ(fast.StalledSeconds(5000), 0) << "no picture yet: nothing to dim";
  for (int t = 0; t <= 1000; t += 50) fast.Picture(t);
  EXPECT_EQ(fast.UsualIntervalMs(), 50);
  EXPECT_EQ(fast.StalledSeconds(2999), 0);
  EXPECT_EQ(fast.StalledSeconds(3000), 2);
  fast.Picture(3100);  // one late picture moves the usual interval only by an eighth
  EXPECT_EQ(fast.UsualIntervalMs(), (7 * 50 + 2100) / 8);

  StallClock slow;  // a picture a second: three seconds without one before it counts
  for (int t = 0; t <= 10000; t += 1000) slow.Picture(t);
  EXPECT_EQ(slow.StalledSeconds(12999), 0);
  EXPECT_EQ(slow.StalledSeconds(13000), 3);

  // The planned reconnect: its pause never counts, and the wait starts again when it opened.
  slow.Paused();
  EXPECT_EQ(slow.StalledSeconds(20000), 0);
  slow.Opened(20000);
  EXPECT_EQ(slow.StalledSeconds(22999), 0);
  EXPECT_EQ(slow.StalledSeconds(23500), 3);
  slow.Picture(24000);  // the gap across the reconnect is no interval of the unit's
  EXPECT_EQ(slow.UsualIntervalMs(), 1000);
}

}  // namespace
