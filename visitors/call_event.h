// What the telephone's copy tells every copy about a door call, as the bytes of copy-data tag 12.
#pragma once

#include <optional>
#include <string>

#include "visitors/visit.h"

namespace visitors {

enum class CallEventKind : int { Ringing = 1, Answered = 2, Refused = 3, Ended = 4, TurnedAway = 5 };

struct CallEvent {
  CallEventKind kind = CallEventKind::Ringing;
  TimeMs atMs = 0;       // when the telephone saw it: every copy keys the visit by the same time
  std::string host;      // the caller's host (IP_call)
  std::string identity;  // the caller's user part (Name_call)
  bool operator==(const CallEvent&) const = default;
};

// "K1 <kind> <ms>\n<host>\n<identity>": a version mark first, so that a later format is told apart.
std::string EncodeCallEvent(const CallEvent& event);
// Nothing for bytes that are not such an event (another copy's bad or newer message).
std::optional<CallEvent> DecodeCallEvent(const std::string& bytes);

}  // namespace visitors
