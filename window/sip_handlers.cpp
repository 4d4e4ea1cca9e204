// The SIP telephone's handlers on the window thread; until the telephone exists, each does nothing.
#include "window/sip_handlers.h"

// No copy holds a SIP core until the telephone exists.
bool HasSipCore() { return false; }

// Sends the door address (SIP identity with prefix, or IP address) as copy-data tag 0; comes with the SIP
// calls.
void SendDoorAddress(HWND) {}
// Ends the current call in the SIP copy; comes with the SIP calls.
void SipHangUp(HWND) {}
// Answers a call request with code 6 to the asker; comes with the SIP calls.
void SipCallRequest(HWND) {}
// Sends CallToDoorPhone as copy-data tag 6; comes with the SIP calls.
void SendCallTarget(HWND) {}
// Re-reads and re-applies the SIP and sound settings; comes with the SIP core.
void SipReapplySettings() {}
// Creates the SIP core and its thread; comes with the SIP core.
void StartSipCore() {}
// Refreshes SIP_reg from the proxy configuration and answers the asker; comes with the SIP core.
void SipRegistrationQuery(LPARAM) {}
// Answers the pending call and hands it to the matching copy; comes with the SIP calls.
void ReceiveDoorAddress(HWND, const COPYDATASTRUCT*) {}
// Invites the address the sender wants called; comes with the SIP calls.
void ReceiveCallTarget(HWND, const COPYDATASTRUCT*) {}
// Opens the modeless Accept dialog that rings; comes with the SIP calls.
void OpenAcceptDialog() {}
// Adds the entered credentials to the core; comes with the SIP core.
void AuthenticationEntered(BOOL) {}
