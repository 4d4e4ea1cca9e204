// The outcome texts of the Visitors window's rows and the tray tip's missed-call line.
#include "visitor_window/visit_text.h"

#include <gtest/gtest.h>

#include "visitors/door_answer.h"

namespace {

using visitors::Outcome;
using visitors::Visit;

TEST(VisitText, OutcomesDoorsAndMissedCallsReadAsThePersonExpects) {
  const struct {
    Visit visit;
    const char* text;
  } cases[] = {{{"u", 0, Outcome::Answered, 42'999, 0, true}, "Answered 0:42"},
               {{"u", 0, Outcome::Answered, 3'723'000, 2, true}, "Answered 1:02:03, door 2 opened"},
               {{"u", 0, Outcome::Refused, 0, 0, true}, "Refused"},
               {{"u", 0, Outcome::Missed, 0, 1, true}, "Missed, door 1 opened"},
               {{"u", 0, Outcome::Missed, 0, 1, true, visitors::DoorAnswer(2, 204)}, "Missed, door 2 opened"},
               {{"u", 0, Outcome::Refused, 0, 1, true, visitors::DoorAnswer(1, 404)},
                "Refused, door 1 refused (HTTP 404)"},
               {{"u", 0, Outcome::Pending, 0, 2, true, visitors::DoorAnswer(2, 0)}, "door 2: no answer"},
               {{"u", 0, Outcome::Busy, 0, 0, true}, "Busy"},
               {{"u", 0, Outcome::Pending, 0, 0, false}, "Ringing"},
               {{"u", 0, Outcome::Pending, 0, 1, false}, "door 1 opened"}};
  for (const auto& c : cases) EXPECT_EQ(visitor_window::OutcomeText(c.visit), c.text);
  EXPECT_EQ(visitor_window::MissedCallsText(0), "");
  EXPECT_EQ(visitor_window::MissedCallsText(1), "1 missed call");
  EXPECT_EQ(visitor_window::MissedCallsText(2), "2 missed calls");

  visitors::VisitRow row;
  row.visit = {"192.168.1.250", 0, Outcome::Refused, 0, 0, true};
  row.picturesMissing = true;
  const std::string text = visitor_window::RowText(row);
  EXPECT_NE(text.find("  192.168.1.250\nRefused\n(pictures missing)"), std::string::npos) << text;
}

}  // namespace
