// How a visit reads in the Visitors window: when, which unit, how it ended.
#pragma once

#include <string>

#include "visitors/visitor_log.h"

namespace visitor_window {

// "Answered 0:42", "Refused", "Missed", "Busy", with what the door's relay did: ", door 1 opened" (also
// while the unit's answer is not known), ", door 1 refused (HTTP 404)", ", door 1: no answer"; of several
// presses the most telling (door_answer.h). The door part stands alone while the outcome is not known.
std::string OutcomeText(const visitors::Visit& visit);
// The row's lines: local date and time with the unit's title, then the outcome, then a note when the
// pictures are gone.
std::string RowText(const visitors::VisitRow& row);
// "1 missed call", "2 missed calls"; "" for none.
std::string MissedCallsText(int count);

}  // namespace visitor_window
