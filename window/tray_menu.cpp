// The tray icon's menu: the way back to the window, the visitor log, the settings and quitting.
#include "platform/core/window_thread.h"
#include "platform/gui/popup_menu.h"
#include "platform/gui/window.h"
#include "state/program.h"
#include "state/settings.h"
#include "visitor_window/visitors_window.h"
#include "window/button_actions.h"
#include "window/window_messages.h"

namespace {

enum TrayMenuItem : UINT { kShow = 1, kVisitors, kSettings, kQuit };

}  // namespace

void MyTrayMenu(HWND hwnd) {
  AssertWindowThread();
  HMENU menu = CreatePopupMenu();
  AppendMenuA(menu, MF_STRING, kShow, "Show");
  AppendMenuA(menu, MF_STRING, kVisitors, "Visitors…");
  AppendMenuA(menu, MF_STRING, kSettings, "Settings…");
  AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(menu, MF_STRING, kQuit, "Quit");
  const int chosen = TrackPopupMenu(menu, TPM_RETURNCMD, hwnd);
  DestroyMenu(menu);
  switch (chosen) {
    case kShow: BringWindowBack(hwnd); break;
    case kVisitors: OpenVisitorsWindow(); break;
    // As the gear does: the dialog over the window, which must be on the screen for it. One that is open
    // already is the one to use: a second would run inside the first's loop.
    case kSettings:
      BringWindowBack(hwnd);
      if (!SettingsDialogOpen) SettingsReleased();
      break;
    // As the close button does.
    case kQuit: SendMessage(g_hwndMain, WM_CLOSE, 0, 0); break;
    default: break;
  }
}
