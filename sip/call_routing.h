// The SIP copy's side of the call flows between the copies.
#pragma once

#include "platform/core/messages.h"

// Copy-data tag 0: answers the pending call; the copy whose door address names the caller gets the
// call (codes 2 and 3) and the Terminate dialog closes. At most 63 characters of the address count.
void DoorAddressReceived(HWND sender, const COPYDATASTRUCT* data);
// Code 5: asks the asker for its call target (code 6).
void CallRequested(HWND asker);
// Copy-data tag 6: calls the target (at most 99 characters); the sender's call mark is set when the
// call was placed.
void CallTargetReceived(HWND sender, const COPYDATASTRUCT* data);
// Code 4: ends the call; when none is left, every copy clears its call mark (code 3 with 0).
void HangUpRequested(HWND asker);
