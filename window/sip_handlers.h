// The window thread's side of the SIP telephone: what the private codes, copy data and hand-overs start.
#pragma once

#include "platform/core/messages.h"

// Whether this copy holds the SIP telephone (has a SIP core).
bool HasSipCore();

// The unit's SIP identity behind its call prefix, as the SIP copy reads it: the whole 128 bytes travel,
// spaces behind the text.
void FillDoorSipIdentity(char (&identity)[128]);
// Code 0: answer the asking copy with this copy's door address (copy-data tag 0).
void SendDoorAddress(HWND asker);
// Code 4, SIP copy only: end the call; when none remains, tell every copy (code 3 with 0).
void SipHangUp(HWND asker);
// Code 5, SIP copy only: ask the asking copy for the address it wants called (code 6).
void SipCallRequest(HWND asker);
// Code 6: hand the call target to the SIP copy (copy-data tag 6).
void SendCallTarget(HWND sipWindow);
// Code 7, SIP copy only: read the SIP and sound settings again and apply them.
void SipReapplySettings();
// Code 10: takes the SIP role, loads the telephone's module (the first time) and starts this copy's SIP
// core; a module that cannot be loaded gives the role back and leaves this copy without a telephone.
void StartSipCore();
// Code 11, SIP copy only: refresh SIP_reg and send it to the asking copy.
void SipRegistrationQuery(LPARAM asker);

// Copy-data tag 0, SIP copy only: a copy's door address; answers the call and hands it to the match.
void ReceiveDoorAddress(HWND sender, const COPYDATASTRUCT* data);
// Copy-data tag 6, SIP copy only: the address to call for the sending copy.
void ReceiveCallTarget(HWND sender, const COPYDATASTRUCT* data);

// WM_USER 0: a door call came in; opens the Accept dialog.
void OpenAcceptDialog();
// WM_USER 1: the Authentication dialog ended; ok when the user gave credentials.
void AuthenticationEntered(BOOL ok);
// Timer 1: a copy without a telephone takes up the SIP role when nobody holds it.
void SipRoleTick();
// Closing: the telephone's part of the shutdown, when this copy ever loaded it.
void ShutDownTelephone();
void SipAnswerRinging(bool answer);
// Code 15, SIP copy only: send the telephone's tip line to the asking copy (copy-data tag 13).
void SipTelephoneStateQuery(HWND asker);
