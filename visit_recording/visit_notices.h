// The desktop's notifications of a door call: ringing (Answer, Refuse) and missed (Show visitors).
#pragma once

#include <string>

#include "visitors/visit.h"

// Window thread. "<title> is ringing" with the visitor's picture; its actions do what the Accept dialog's
// OK and Cancel do, in the copy that holds the telephone.
void ShowRingingNotice(const std::string& title, const std::string& jpeg);
void CloseRingingNotice();
// Window thread. "Missed call: <title>, 14:32"; its action opens the Visitors window.
void ShowMissedNotice(const std::string& title, visitors::TimeMs startMs);
