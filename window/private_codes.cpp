// The private message between the copies: one action per code.
#include "app/app_globals.h"
#include "platform/window.h"
#include "skin/skin.h"
#include "window/sip_handlers.h"
#include "window/window_messages.h"

namespace {

HWND WindowIn(LPARAM lParam) { return static_cast<HWND>(static_cast<std::uintptr_t>(lParam)); }

void SetLinCall(BOOL value) {
  ShowData.lin_call = value;
  if (IsWindowVisible(g_hwndMain)) ShowMyWindow(g_hwndMain, ShowData);
}

}  // namespace

void MyPrivateMessage(WPARAM code, LPARAM lParam) {
  switch (code) {
    case 0: SendDoorAddress(WindowIn(lParam)); break;
    case 2: ShowMyWindow(g_hwndMain, ShowData); break;  // the call was handed to this copy: show it
    case 3: SetLinCall(lParam != 0 ? TRUE : FALSE); break;
    case 4:
      if (HasSipCore()) SipHangUp(WindowIn(lParam));
      break;
    case 5:
      if (HasSipCore()) SipCallRequest(WindowIn(lParam));
      break;
    case 6: SendCallTarget(WindowIn(lParam)); break;
    case 7:
      if (HasSipCore()) SipReapplySettings();
      break;
    case 8:
      // The SIP copy is closing: every other copy takes up a telephone of its own.
      if (WindowIn(lParam) != g_hwndMain)
        SendMessage(g_hwndMain, MESSAGE, 10, static_cast<LPARAM>(g_hwndMain));
      break;
    case 9: SetLinCall(FALSE); break;
    case 10: StartSipCore(); break;
    case 11:
      if (HasSipCore())
        SipRegistrationQuery(lParam);
      else
        SIP_reg = static_cast<BOOL>(lParam);  // the SIP copy's answer (or another copy's query)
      break;
    default: break;  // 1 is unused; nothing above 11 exists
  }
}
