// The private message between the copies: one action per code.
#include "state/private_codes.h"

#include "platform/gui/window.h"
#include "skin/skin.h"
#include "state/program.h"
#include "state/sip_state.h"
#include "visitor_window/missed_mark.h"
#include "visitor_window/visitors_window.h"
#include "window/sip_handlers.h"
#include "window/telephone_tip.h"
#include "window/window_messages.h"

namespace {

HWND WindowIn(LPARAM lParam) { return static_cast<HWND>(static_cast<std::uintptr_t>(lParam)); }

void SetLinCall(BOOL value) {
  ShowData.lin_call = value;
  if (IsWindowVisible(g_hwndMain)) ShowMyWindow(g_hwndMain, ShowData);
}

}  // namespace

LRESULT MyPrivateMessage(WPARAM code, LPARAM lParam) {
  switch (code) {
    case kCodeAskDoorAddress: SendDoorAddress(WindowIn(lParam)); break;
    case kCodeShowHandedCall: ShowMyWindow(g_hwndMain, ShowData); break;  // the call was handed to this copy
    case kCodeSetLinCall: SetLinCall(lParam != 0 ? TRUE : FALSE); break;
    case kCodeHangUp:
      if (HasSipCore()) SipHangUp(WindowIn(lParam));
      break;
    case kCodeCallRequest:
      if (HasSipCore()) SipCallRequest(WindowIn(lParam));
      break;
    case kCodeSendCallTarget: SendCallTarget(WindowIn(lParam)); break;
    case kCodeSettingsChanged:
      if (HasSipCore()) SipReapplySettings();
      break;
    case kCodeSipClosing:
      // The SIP copy is closing: every other copy takes up a telephone of its own.
      ShowTelephoneOff(WindowIn(lParam));
      if (WindowIn(lParam) != g_hwndMain)
        SendMessage(g_hwndMain, MESSAGE, kCodeStartSip, static_cast<LPARAM>(g_hwndMain));
      break;
    case kCodeCallEnded: SetLinCall(FALSE); break;
    case kCodeStartSip: StartSipCore(); break;
    case kCodeRegistration:
      if (HasSipCore())
        SipRegistrationQuery(lParam);
      else if (lParam == 0 || lParam == 1)
        SIP_reg = static_cast<BOOL>(lParam);  // the SIP copy's answer
      // Otherwise another copy's query (it names a window, never 0 or 1): taken for an answer it would
      // show "Registration successful" whenever it arrived after the SIP copy's answer.
      break;
    case kCodeVisitsChanged:
      RefreshVisitorsWindow();
      UpdateMissedMark();
      break;
    case kCodeOpenVisitors:
      if (lParam == kVisitorsAskInstanceNumber) return PocSpusteni;
      OpenVisitorsWindow();
      break;
    case kCodeAnswerRinging:
      if (HasSipCore()) SipAnswerRinging(lParam != 0);
      break;
    case kCodeAskTelephoneState:
      if (HasSipCore()) SipTelephoneStateQuery(WindowIn(lParam));
      break;
    default: break;  // kCodeUnused; nothing above kLastPrivateCode exists
  }
  return 0;
}
