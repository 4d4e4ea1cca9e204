// The tray icon's click: the way back to a hidden window, and the way to put it away.
#include "platform/gui/window.h"
#include "state/display_record.h"
#include "state/popup_state.h"
#include "state/settings.h"
#include "window/window_messages.h"

void BringWindowBack(HWND hwnd) {
  ShowData.Button = kNoButton;
  // While the unit calls in pop-up mode the user's choice holds for the rest of this call.
  const bool calling = PopUp && ShowData.call;
  ShowWindow(hwnd, SW_RESTORE);
  SetForegroundWindow(hwnd);
  hide = calling ? 1 : 0;
}

void MyTrayClick(HWND hwnd, LPARAM mouseMessage) {
  if (mouseMessage == WM_RBUTTONDOWN) return MyTrayMenu(hwnd);
  if (mouseMessage != WM_LBUTTONDOWN) return;
  if (!IsWindowVisible(hwnd)) return BringWindowBack(hwnd);
  ShowData.Button = kNoButton;
  const bool calling = PopUp && ShowData.call;
  ShowWindow(hwnd, SW_HIDE);
  show = calling ? 0 : 1;
}
