// When the pictures of an open connection have stopped coming.
#include "video/stream/stall_clock.h"

#include <algorithm>

void StallClock::Opened(TimeMs now) {
  since_ = now;
  lastPicture_ = -1;
  paused_ = false;
}

void StallClock::Paused() { paused_ = true; }

void StallClock::Picture(TimeMs now) {
  if (lastPicture_ >= 0 && now >= lastPicture_) {
    const TimeMs interval = now - lastPicture_;
    // A running average that follows a unit changing its rate within a few seconds, and that one late
    // picture moves only by an eighth.
    usualMs_ = usualMs_ == 0 ? interval : (7 * usualMs_ + interval) / 8;
  }
  lastPicture_ = now;
  since_ = now;
  picturesSeen_ = true;
}

int StallClock::StalledSeconds(TimeMs now) const {
  if (!picturesSeen_ || paused_ || now < since_) return 0;
  const TimeMs waited = now - since_;
  if (waited < std::max(kShortestStallMs, kUsualIntervals * usualMs_)) return 0;
  return static_cast<int>(waited / 1000);
}
