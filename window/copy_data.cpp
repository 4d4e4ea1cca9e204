// Copy data and the SIP thread's hand-overs, routed to the SIP handlers.
#include "window/sip_handlers.h"
#include "window/window_messages.h"

void MyCopyData(HWND sender, const COPYDATASTRUCT* data) {
  if (data == nullptr) return;
  switch (data->dwData) {
    case 0:
      if (HasSipCore()) ReceiveDoorAddress(sender, data);
      break;
    case 6:
      if (HasSipCore()) ReceiveCallTarget(sender, data);
      break;
    default: break;
  }
}

void MyUserMessage(WPARAM code, LPARAM lParam) {
  switch (code) {
    case 0: OpenAcceptDialog(); break;
    case 1: AuthenticationEntered(lParam != 0 ? TRUE : FALSE); break;
    default: break;
  }
}
