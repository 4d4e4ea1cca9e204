// The numbers the copies and threads of the program talk in: MESSAGE's codes, the copy-data tags, the
// SIP thread's WM_USER codes and the reader's restart timer. Every running copy relies on these
// numbers, so they never change.
#pragma once

#include <cstdint>

#include "platform/core/types.h"

// MESSAGE's first parameter; its second carries a window handle or a value.
enum PrivateCode : WPARAM {
  kCodeAskDoorAddress = 0,  // from the copy that accepted a door call: every copy answers with tag 0
  kCodeUnused = 1,
  kCodeShowHandedCall = 2,      // to the copy whose door called: paint its window
  kCodeSetLinCall = 3,          // lParam 1: a SIP call is in progress for this copy; 0: none is
  kCodeHangUp = 4,              // the SIP copy ends the call
  kCodeCallRequest = 5,         // the SIP copy asks the asker for the address to call (code 6)
  kCodeSendCallTarget = 6,      // to the asker: answer with tag 6, the address to call
  kCodeSettingsChanged = 7,     // the SIP copy reads the SIP and sound settings again
  kCodeSipClosing = 8,          // the SIP copy is closing: every other copy starts a core of its own
  kCodeCallEnded = 9,           // the library reported the end of the call: every copy clears lin_call
  kCodeStartSip = 10,           // create and start this copy's SIP core
  kCodeRegistration = 11,       // a query (lParam: the asker) or the SIP copy's answer (lParam: 0 or 1)
  kCodeVisitsChanged = 12,      // (posted to all) a copy changed the visitor log: refresh its window and mark
  kCodeOpenVisitors = 13,       // open this copy's Visitors window
  kCodeAnswerRinging = 14,      // to all: the SIP copy answers (lParam 1) or refuses (0) the ringing call
  kCodeAskTelephoneState = 15,  // to all, lParam the asker: the SIP copy answers with tag 13
};
constexpr WPARAM kLastPrivateCode = kCodeAskTelephoneState;

// WM_COPYDATA's tag; the bytes are a zero-terminated text.
enum CopyDataTag : std::uintptr_t {
  kTagDoorAddress = 0,      // a copy's door address, in answer to code 0
  kTagCallTarget = 6,       // the address a copy wants called, in answer to code 6
  kTagCallEvent = 12,       // from the SIP copy to all: what happened to a door call (visitors/call_event.h)
  kTagTelephoneState = 13,  // from the SIP copy: the telephone's tip line (state/telephone_line.h)
};

// WM_USER's first parameter: what the SIP thread hands to the window thread.
enum SipThreadCode : WPARAM {
  kUserIncomingCall = 0,           // a door call came in: open the Accept dialog
  kUserAuthenticationEntered = 1,  // lParam 1: the user gave credentials
};

// Timer 0 of the main window restarts the video reader once a second while it is not connected.
constexpr UINT kReaderTimer = 0;
constexpr UINT kReaderTimerPeriodMs = 1000;
// Timer 1: a copy without a telephone takes up the SIP role when its holder is gone.
constexpr UINT kSipRoleTimer = 1;
constexpr UINT kSipRoleTimerPeriodMs = 1000;
// Timer 2, while a reader runs: a picture that stopped coming is dimmed, and its wait counted each second.
constexpr UINT kStallTimer = 2;
constexpr UINT kStallTimerPeriodMs = 1000;
// Timer 3, once: the door-open banner's time is up.
constexpr UINT kBannerTimer = 3;
constexpr UINT kBannerShownMs = 3000;
