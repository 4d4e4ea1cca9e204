// How a visit reads in the Visitors window: when, which unit, how it ended.
#pragma once

#include <string>

#include "visitors/visitor_log.h"

namespace visitor_window {

// "Answered 0:42", "Refused", "Missed", "Busy", with ", door 1 opened" ("door 1 opened" alone while the
// outcome is not known yet).
std::string OutcomeText(const visitors::Visit& visit);
// The row's lines: local date and time with the unit's title, then the outcome, then a note when the
// pictures are gone.
std::string RowText(const visitors::VisitRow& row);
// "1 missed call", "2 missed calls"; "" for none.
std::string MissedCallsText(int count);

}  // namespace visitor_window
