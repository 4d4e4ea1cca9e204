// The visit rules as a table: a unit's events with their times, and the visits they make.
#include "visitors/visit_rules.h"

#include <gtest/gtest.h>

#include "visitors/door_answer.h"

namespace visitors {
namespace {

// I invitation, B turned away, A answered, R refused, E call ended, F flag (arg), D relay (arg) pressed
// (press), P the unit answered press with HTTP status arg, X the window thread forgets.
struct Event {
  char kind;
  TimeMs at;
  int arg = 0;
  unsigned press = 0;
};
struct Case {
  const char* name;
  std::vector<Event> events;
  std::vector<Visit> visits;
};

Visit V(TimeMs start, Outcome outcome, bool ended, TimeMs talk = 0, int door = 0, int answer = 0) {
  return {"u", start, outcome, talk, door, ended, answer};
}

TEST(VisitRules, Table) {
  const std::vector<Case> cases = {
      {"flag then invitation, answered, door opened after",
       {{'F', 0, 1}, {'I', 5000}, {'A', 10000}, {'E', 52000}, {'F', 53000, 0}, {'D', 170000, 1}},
       {V(0, Outcome::Answered, true, 42000, 1)}},
      {"invitation then a flag 29 s later rings out",
       {{'I', 0}, {'F', 29000, 2}, {'F', 40000, 0}, {'E', 60000}},
       {V(0, Outcome::Missed, true)}},
      {"a flag 31 s after the invitation is another visit",
       {{'I', 0}, {'F', 31000, 1}},
       {V(0, Outcome::Pending, false), V(31000, Outcome::Pending, false)}},
      {"a flag that stays up is one visit, whatever bad byte comes between; falling alone is missed",
       {{'F', 0, 1}, {'F', 5000, 'x' - '0'}, {'F', 10000, 2}, {'F', 20000, 0}},
       {V(0, Outcome::Missed, true)}},
      {"an invitation after the flag fell joins and decides",
       {{'F', 0, 1}, {'F', 10000, 0}, {'I', 20000}, {'A', 25000}, {'E', 30000}},
       {V(0, Outcome::Answered, true, 5000)}},
      {"turned away is busy; the call on meanwhile keeps its own outcome",
       {{'I', 0}, {'B', 1000}, {'A', 2000}, {'E', 5000}},
       {V(0, Outcome::Answered, true, 3000), V(1000, Outcome::Busy, true)}},
      {"refused; a press past 2 minutes opens nothing",
       {{'I', 0}, {'R', 5000}, {'D', 125001, 2, 1}, {'P', 125500, 200, 1}},
       {V(0, Outcome::Refused, true)}},
      {"a press during the call counts, the first relay is kept",
       {{'I', 0}, {'D', 1000, 2}, {'D', 2000, 1}, {'E', 9000}},
       {V(0, Outcome::Missed, true, 0, 2)}},
      {"pressed twice, the second opened: opened, though the first's silence is heard after",
       {{'I', 0}, {'D', 1000, 2, 1}, {'D', 2000, 1, 2}, {'P', 3000, 204, 2}, {'P', 11000, 0, 1}},
       {V(0, Outcome::Pending, false, 0, 2, DoorAnswer(1, 204))}},
      {"an answer after the window thread forgot the visit's end still lands",
       {{'F', 0, 1}, {'F', 5000, 0}, {'D', 124000, 1, 7}, {'X', 130000}, {'P', 134000, 404, 7}},
       {V(0, Outcome::Missed, true, 0, 1, DoorAnswer(1, 404))}},
  };
  for (const Case& c : cases) {
    VisitRules rules;
    for (const Event& e : c.events) {
      switch (e.kind) {
        case 'I': rules.Invitation("u", e.at); break;
        case 'B': rules.TurnedAway("u", e.at); break;
        case 'A': rules.Answered("u", e.at); break;
        case 'R': rules.Refused("u", e.at); break;
        case 'E': rules.CallEnded("u", e.at); break;
        case 'F': rules.Flag("u", e.arg, e.at); break;
        case 'D': rules.RelayPressed("u", e.arg, e.at, e.press); break;
        case 'P': rules.RelayAnswered(e.press, e.arg); break;
        case 'X': rules.Forget(e.at); break;
      }
    }
    EXPECT_EQ(rules.TakeChanged(), c.visits) << c.name;
    EXPECT_TRUE(rules.TakeChanged().empty()) << c.name;
    EXPECT_EQ(rules.Forget(c.events.back().at + 121000), c.visits.back().ended ? 0u : c.visits.size())
        << c.name;
  }
}

}  // namespace
}  // namespace visitors
