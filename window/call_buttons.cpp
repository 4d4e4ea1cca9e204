// The call button asks the copy that holds the telephone to call this copy's unit; the hang-up button
// asks it to end the call.
#include <cstdio>
#include <cstring>

#include "platform/gui/drawing.h"
#include "platform/gui/window.h"
#include "skin/skin.h"
#include "state/private_codes.h"
#include "state/program.h"
#include "state/settings.h"
#include "state/sip_state.h"
#include "window/button_actions.h"

namespace {

// Spaces first: the whole 128 bytes travel to the SIP copy.
void FillCallTarget() {
  std::memset(CallToDoorPhone, ' ', sizeof CallToDoorPhone);
  if (UseSIP)
    std::snprintf(CallToDoorPhone, sizeof CallToDoorPhone, "%s%s", SIP_call_prefix, SIP_id_doorphone);
  else
    std::snprintf(CallToDoorPhone, sizeof CallToDoorPhone, "sip:%s", IP_addr);
}

}  // namespace

void CallReleased() {
  FillCallTarget();
  SendMessage(HWND_BROADCAST, MESSAGE, kCodeCallRequest, static_cast<LPARAM>(g_hwndMain));
}

void HangUpReleased() {
  if (ShowData.lin_call) SendMessage(HWND_BROADCAST, MESSAGE, kCodeHangUp, static_cast<LPARAM>(g_hwndMain));
  {
    std::lock_guard lock(SkinMutex());
    if (HDC hdc = GetDC(g_hwndMain)) {
      const t_Skin& s = Skin[SKIN_BR_B4_OVER];
      DrawState(hdc, s.ShBitmap, s.PosY, s.PosX);
      ReleaseDC(g_hwndMain, hdc);
    }
  }
  ShowMyWindow(g_hwndMain, ShowData);
}
