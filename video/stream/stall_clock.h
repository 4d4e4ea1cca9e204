// When the pictures of a connection that stays open have stopped coming: the unit's usual interval
// between pictures, and how long the wait has been. Fed with times; no clock of its own.
#pragma once

#include <cstdint>

class StallClock {
 public:
  using TimeMs = std::int64_t;

  // A wait this long is a stall even for a unit that sends often.
  static constexpr TimeMs kShortestStallMs = 2000;
  // A unit that sends seldom has stalled after this many of its usual intervals.
  static constexpr int kUsualIntervals = 3;

  // A connection opened (the first, or the planned reconnect's): the wait counts from now, and the
  // gap since the last picture is no interval of the unit's.
  void Opened(TimeMs now);
  // The planned reconnect begins: its pause is no stall, until Opened.
  void Paused();
  // A complete picture arrived.
  void Picture(TimeMs now);
  // Whole seconds without a picture once that is a stall; 0 while pictures come, before the first
  // picture, and while paused.
  int StalledSeconds(TimeMs now) const;
  // The unit's usual interval between pictures; 0 before two pictures came on one connection.
  TimeMs UsualIntervalMs() const { return usualMs_; }

 private:
  TimeMs since_ = 0;         // the last picture, or the opening after it
  TimeMs lastPicture_ = -1;  // on this connection; -1 before its first
  TimeMs usualMs_ = 0;
  bool picturesSeen_ = false;
  bool paused_ = false;
};
