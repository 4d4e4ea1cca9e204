// The call button asks the copy that holds the telephone to call this copy's unit; the hang-up button
// asks it to end the call.
#include <cstdio>
#include <cstring>

#include "platform/gui/window.h"
#include "skin/skin.h"
#include "state/door_address.h"
#include "state/private_codes.h"
#include "state/program.h"
#include "state/settings.h"
#include "state/sip_state.h"
#include "window/button_actions.h"
#include "window/pointer.h"
#include "window/sip_handlers.h"

namespace {

// Spaces first: the whole 128 bytes travel to the SIP copy.
void FillCallTarget() {
  AssertWindowThread();
  if (UseSIP) {
    FillDoorSipIdentity(CallToDoorPhone);
    return;
  }
  std::memset(CallToDoorPhone, ' ', sizeof CallToDoorPhone);
  // The SIP library reads a leading zero as octal too.
  char address[sizeof IP_addr];
  CopyIP_addr(address);
  std::snprintf(CallToDoorPhone, sizeof CallToDoorPhone, "sip:%s", DoorUrlAddress(address).c_str());
}

}  // namespace

void CallReleased() {
  FillCallTarget();
  SendMessage(HWND_BROADCAST, MESSAGE, kCodeCallRequest, static_cast<LPARAM>(g_hwndMain));
}

void HangUpReleased() {
  if (ShowData.lin_call) SendMessage(HWND_BROADCAST, MESSAGE, kCodeHangUp, static_cast<LPARAM>(g_hwndMain));
  DrawSkinPieceAt(SKIN_BR_B4_OVER, SKIN_BR_B4_OVER);
  ShowMyWindow(g_hwndMain, ShowData);
}
