// Tests of the display's frames: one still held elsewhere is never drawn into again.
#include "video/frame_pool.h"

#include <gtest/gtest.h>

TEST(FramePool, AFrameIsReusedOnlyOnceNothingElseHoldsIt) {
  const Frame held = TakeFrame(64, 48);
  ASSERT_TRUE(held.bitmap);
  void* const released = TakeFrame(64, 48).bits;
  EXPECT_NE(released, held.bits) << "handed out while the live picture could still show it";
  EXPECT_EQ(TakeFrame(64, 48).bits, released) << "a frame nobody holds is drawn into again";
  EXPECT_NE(TakeFrame(64, 48).bits, held.bits);
}
