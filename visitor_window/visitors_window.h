// The Visitors window: the visitor log's rows, newest first, with their pictures; one per copy at most.
#pragma once

#include "platform/core/types.h"

// The window's dialog template (resources/dialog/visitors.dlg).
constexpr int kVisitorsDialog = 127;
// Code 13's lParam: 0 opens the window; kVisitorsAskInstanceNumber (sent) opens nothing and answers the
// copy's instance number, so that `kestrova --visitors` can pick the copy with the lowest one.
constexpr LPARAM kVisitorsAskInstanceNumber = 1;

// Window thread. Opens the window, or raises it when it is open; marks the missed visits seen and tells
// every copy (code 12) so that their marks go. With the log off the window opens and says so.
void OpenVisitorsWindow();
// Window thread. Reads the rows again if the window is open (another copy changed the log).
void RefreshVisitorsWindow();
