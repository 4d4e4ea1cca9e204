// What a visit is: the unit that called, when it started, how it ended, what the door's relay presses did.
#pragma once

#include <cstdint>
#include <string>

namespace visitors {

// Milliseconds since the epoch (wall clock): visits from several copies are compared by it, and the
// window shows it as local time.
using TimeMs = std::int64_t;

inline constexpr TimeMs kJoinWindowMs = 30'000;      // an invitation and a flag rise this close are one visit
inline constexpr TimeMs kDoorAfterVisitMs = 120'000;  // a relay press this long after the end still counts
// A press's answer comes within the relay time-out (10 s); the rest is room for a busy window thread.
inline constexpr TimeMs kDoorAnswerWaitMs = 60'000;

// Stored as these numbers, which order them: a later report replaces an earlier one only when its number
// is not smaller, so a copy that saw only the flag fall ("missed") never overwrites the telephone's
// "answered". Stored values never change.
enum class Outcome : int { Pending = 0, Missed = 1, Busy = 2, Refused = 3, Answered = 4 };

struct Visit {
  std::string unit;   // the door unit's address as the watching copy names it
  TimeMs startMs = 0;  // with unit, the visit's key
  Outcome outcome = Outcome::Pending;
  TimeMs talkMs = 0;  // Answered only: from the answer to the call's end
  int doorRelay = 0;  // 0, or the relay (1 or 2) pressed during the visit or within 2 minutes after
  bool ended = false;
  int doorAnswer = 0;  // DoorAnswer (door_answer.h): the most telling answer to the presses; 0: none known
  bool operator==(const Visit&) const = default;
};

}  // namespace visitors
