// The door answer's number: kind, then relay, then HTTP status, most significant first.
#include "visitors/door_answer.h"

#include <algorithm>

namespace visitors {

namespace {
// Statuses have three digits; anything else the unit says is kept within them.
constexpr int kStatusSpan = 1000;
constexpr int kRelaySpan = 3 * kStatusSpan;
}  // namespace

int DoorAnswer(int relay, int status) {
  const DoorAnswerKind kind = status <= 0                     ? DoorAnswerKind::NoAnswer
                              : status >= 200 && status < 300 ? DoorAnswerKind::Opened
                                                              : DoorAnswerKind::Refused;
  return static_cast<int>(kind) * kRelaySpan + std::clamp(relay, 1, 2) * kStatusSpan +
         std::clamp(status, 0, kStatusSpan - 1);
}

DoorAnswerParts DoorAnswerOf(int answer) {
  if (answer < kRelaySpan || answer >= 4 * kRelaySpan) return {};
  return {static_cast<DoorAnswerKind>(answer / kRelaySpan), answer % kRelaySpan / kStatusSpan,
          answer % kStatusSpan};
}

}  // namespace visitors
