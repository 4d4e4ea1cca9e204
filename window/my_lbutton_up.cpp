// The release of the left mouse button: the action of the button under the pointer.
#include "platform/gui/tray.h"
#include "platform/gui/window.h"
#include "state/display_record.h"
#include "state/popup_state.h"
#include "state/program.h"
#include "state/settings.h"
#include "window/button_actions.h"

namespace {

void HideToTray() {
  PutWindowAway(g_hwndMain);
  ShowData.Button = kNoButton;
  // The user put this door call away: it must not pop the window up again.
  if (PopUp && ShowData.call) show = 0;
}

}  // namespace

void MyLButtonUp(int But) {
  switch (But) {
    case SKIN_BR_B1_OVER: Relay1Released(); break;
    case SKIN_BR_B2_OVER: Relay2Released(); break;
    case SKIN_TR_S: SettingsReleased(); break;
    case SKIN_TR_M: HideToTray(); break;
    case SKIN_TR_C: SendMessage(g_hwndMain, WM_CLOSE, 0, 0); break;
    case SKIN_BR_B3_OVER: CallReleased(); break;
    case SKIN_BR_B4_OVER: HangUpReleased(); break;
    default: break;  // no button under the pointer
  }
}
