// The rules that turn a copy's call events into visits: a pure state machine, every time passed in.
#pragma once

#include <vector>

#include "visitors/visit.h"

namespace visitors {

// Feed it what this copy sees, each with the time it happened; TakeChanged() then gives the visits whose
// record changed, to store (VisitorLog::Record and Update). One unit may have one open visit at a time.
//
// - An invitation and a call flag rise (0 to 1 or 2) from the same unit within 30 s are one visit,
//   whichever came first; a flag that stays up is one visit (a change between 1 and 2 is no rise, and a
//   value other than 0, 1 or 2, a unit's bad byte, is neither a rise nor a fall).
// - A turned-away caller (a second door while a call exists) is a visit of its own, ended "busy".
// - Answered then ended: "answered" with the talk's length. Refused: "refused". Ended before an answer
//   (rang out, the unit gave up): "missed". A flag that fell without an invitation: "missed"; an
//   invitation within 30 s of the rise still joins that visit and its outcome replaces "missed".
// - Relay 1 or 2 pressed while the unit's visit is open or within 2 minutes of its end marks it
//   "door opened" (the first relay pressed is kept). Each such press belongs to that visit, and what the
//   unit made of it, when heard within a minute of the press, becomes the visit's door answer if it tells
//   more than the one kept (door_answer.h): a door opened at the second try reads "opened".
//
// Not thread-safe: one thread (the window thread) feeds it.
class VisitRules {
 public:
  void Invitation(const std::string& unit, TimeMs now);
  void TurnedAway(const std::string& unit, TimeMs now);
  void Answered(const std::string& unit, TimeMs now);
  void Refused(const std::string& unit, TimeMs now);
  void CallEnded(const std::string& unit, TimeMs now);
  void Flag(const std::string& unit, int flag, TimeMs now);
  // press: this copy's number for the press, which its answer carries.
  void RelayPressed(const std::string& unit, int relay, TimeMs now, unsigned press);
  // The unit's HTTP status for press (0: no answer). A press that marked no visit is ignored.
  void RelayAnswered(unsigned press, int status);

  // The start of the unit's latest visit while it is open (not ended), else -1.
  TimeMs OpenStart(const std::string& unit) const;
  // The visits changed since the last call, each once, in the order they first changed.
  std::vector<Visit> TakeChanged();
  // Forgets the visits that ended more than the join and door windows ago, unless a press made within
  // the answer's wait still waits for it; returns how many it kept.
  std::size_t Forget(TimeMs now);

 private:
  struct Track {
    Visit visit;
    bool invited = false;
    bool flagUp = false;
    bool flagSeen = false;
    TimeMs answeredMs = -1;
    TimeMs endMs = 0;
    struct Press {
      unsigned number;
      int relay;
      TimeMs atMs;
    };
    std::vector<Press> unanswered;
  };
  Track* Latest(const std::string& unit);
  // The unit's call that is still on: a caller turned away meanwhile (ended at once) is not it.
  Track* OpenCall(const std::string& unit);
  Track& Start(const std::string& unit, TimeMs now);
  void Changed(const Track& track);
  void End(Track& track, Outcome outcome, TimeMs now);

  std::vector<Track> tracks_;
  std::vector<std::pair<std::string, TimeMs>> changed_;
};

}  // namespace visitors
