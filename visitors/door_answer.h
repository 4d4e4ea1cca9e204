// What the unit made of a relay press, kept as one number that orders by how much it tells.
#pragma once

namespace visitors {

// Better known ones order higher: an opened door tells more than a refusal, a refusal more than silence.
enum class DoorAnswerKind : int { Unknown = 0, NoAnswer = 1, Refused = 2, Opened = 3 };

struct DoorAnswerParts {
  DoorAnswerKind kind = DoorAnswerKind::Unknown;
  int relay = 0;   // 1 or 2
  int status = 0;  // the unit's HTTP status; 0 when it did not answer
};

// The answer to a press of relay 1 or 2: the unit's HTTP status (200-299 opened the door, any other
// refused it), or 0 when it did not answer within the relay time-out. A visit keeps the largest answer
// of its presses, and copies merge theirs the same way (max), so an "opened" is never lost whatever
// order the answers arrive in; among answers of one kind the larger relay, then status, is kept. 0 is
// "none known yet", which an older copy's rows read as too.
int DoorAnswer(int relay, int status);
DoorAnswerParts DoorAnswerOf(int answer);

}  // namespace visitors
