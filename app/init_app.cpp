// Creating the main window: settings, window class, window, timer 0.
#include "app/win_main.h"
#include "platform/gui/application.h"
#include "platform/gui/window.h"
#include "state/display_record.h"
#include "state/private_codes.h"
#include "state/program.h"
#include "state/settings.h"
#include "window/main_window_class.h"

BOOL InitApp() {
  AssertWindowThread();
  AccessIniFile();
  ReadSettings();

  if (!RegisterMainWindowClass(g_hInstance)) return FALSE;

  g_hwndMain =
      CreateWindowEx(kClassName, kProgramName, left, top, ShowData.ClientWidth, ShowData.ClientHeight);
  if (g_hwndMain == HWND_NONE) {
    Beep(1000, 1000);
    return FALSE;
  }
  SetTimer(g_hwndMain, kReaderTimer, kReaderTimerPeriodMs);
  return TRUE;
}
