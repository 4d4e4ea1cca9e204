// The call operations the telephone uses, on the SIP thread: answer the ringing call, end the current one.
#pragma once

#include <linphone/core.h>

// Answers the incoming call that is still ringing; false when there is none or the library refused.
bool AcceptPendingCall(LinphoneCore* core);
// Ends the current call (or the first call of any state); false when there is none.
bool TerminateCurrentCall(LinphoneCore* core);
// Whether a call is in progress.
bool InCall(LinphoneCore* core);
// Whether the call has ended (End, Error or Released).
bool CallOver(const LinphoneCall* call);
