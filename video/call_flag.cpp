// The door unit's call flag: the call lamp and, in pop-up mode, showing and hiding the window.
#include "video/call_flag.h"

#include "platform/gui/tray.h"
#include "platform/gui/window.h"
#include "skin/skin.h"
#include "state/popup_state.h"
#include "state/program.h"
#include "state/settings.h"

namespace {

void CallSignalled() {
  const BOOL wasCall = ShowData.call;
  if (!wasCall && PopUp) hide = TRUE;
  if (!wasCall && IsWindowVisible(g_hwndMain)) {
    ShowData.call = TRUE;
    ShowMyWindow(g_hwndMain, ShowData);  // the lamp lights
  }
  ShowData.call = TRUE;
  // Tested at every picture: a window the user hid during the call stays hidden only while show is FALSE.
  // Without a notification area the window was put away to the task bar: it comes back from there.
  if (PopUp && show && (!IsWindowVisible(g_hwndMain) || IsIconic(g_hwndMain))) {
    if (IsIconic(g_hwndMain)) ShowWindow(g_hwndMain, SW_RESTORE);
    ShowMyWindow(g_hwndMain, ShowData);
  }
}

void NoCall() {
  const BOOL wasCall = ShowData.call;
  if (wasCall && PopUp) show = TRUE;
  if (IsWindowVisible(g_hwndMain) && wasCall) {
    ShowData.call = FALSE;
    ShowMyWindow(g_hwndMain, ShowData);  // the lamp goes out
  }
  ShowData.call = FALSE;
  if (PopUp && IsWindowVisible(g_hwndMain) && !IsIconic(g_hwndMain) && hide) {
    PutWindowAway(g_hwndMain);
    ShowData.Button = kNoButton;
  }
}

}  // namespace

void HandleCallFlag(char flag) {
  if (flag == '1' || flag == '2')
    CallSignalled();
  else if (flag == '0')
    NoCall();
}
