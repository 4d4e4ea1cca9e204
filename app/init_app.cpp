// Creating the main window: settings, window class, window, timer 0.
#include "app/app_globals.h"
#include "app/settings.h"
#include "platform/application.h"
#include "platform/window.h"
#include "resources/builtin.h"
#include "skin/skin_types.h"
#include "window/window_proc.h"

BOOL InitApp() {
  AccessIniFile();
  ReadSettings();

  WNDCLASSEX wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = WindowProcMain;
  wc.hInstance = g_hInstance;
  wc.iconId = IDI_PROGRAM_ICON;
  wc.smallIconId = IDI_PROGRAM_ICON;
  wc.lpszClassName = kClassName;
  if (!RegisterClassEx(&wc)) return FALSE;

  g_hwndMain =
      CreateWindowEx(kClassName, kProgramName, left, top, ShowData.ClientWidth, ShowData.ClientHeight);
  if (g_hwndMain == HWND_NONE) {
    Beep(1000, 1000);
    return FALSE;
  }
  SetTimer(g_hwndMain, 0, 1000);
  return TRUE;
}
