// Copy data and the SIP thread's hand-overs, routed to the SIP handlers.
#include "state/private_codes.h"
#include "visit_recording/visit_recording.h"
#include "window/sip_handlers.h"
#include "window/telephone_tip.h"
#include "window/window_messages.h"

void MyCopyData(HWND sender, const COPYDATASTRUCT* data) {
  if (data == nullptr) return;
  switch (data->dwData) {
    case kTagDoorAddress:
      if (HasSipCore()) ReceiveDoorAddress(sender, data);
      break;
    case kTagCallTarget:
      if (HasSipCore()) ReceiveCallTarget(sender, data);
      break;
    case kTagCallEvent: CallEventArrived(data); break;
    case kTagTelephoneState: TelephoneLineArrived(sender, data); break;
    default: break;
  }
}

void MyUserMessage(WPARAM code, LPARAM lParam) {
  switch (code) {
    case kUserIncomingCall: OpenAcceptDialog(); break;
    case kUserAuthenticationEntered: AuthenticationEntered(lParam != 0 ? TRUE : FALSE); break;
    default: break;
  }
}
