// The telephone's line in this copy's tray tip, as the copy holding the telephone tells it.
#pragma once

#include "platform/core/messages.h"

// Window thread. Tag 13 from sender: shows its line and mark; bytes that are no line are ignored.
void TelephoneLineArrived(HWND sender, const COPYDATASTRUCT* data);
// Window thread. "Telephone: off" until a holder speaks; at start, and when closing is the copy whose
// line is shown (code 8). A line from another copy, which took the telephone up first, stays.
void ShowTelephoneOff(HWND closing);
// Window thread, at start: the tip says "Telephone: off" and every copy is asked (code 15).
void AskForTelephoneLine();
