// Start-up of one copy and its message loop.
#include "app/app_globals.h"
#include "app/instance_number.h"
#include "app/settings.h"
#include "platform/application.h"
#include "platform/diagnostics.h"
#include "platform/window.h"
#include "skin/skin.h"
#include "video/reader_thread.h"

HINSTANCE g_hInstance = nullptr;
HWND g_hwndMain = HWND_NONE;
UINT MESSAGE = 0;

int WinMain(HINSTANCE hInstance, HINSTANCE, const char*, int) {
  ShowData.ClientWidth = 336;
  ShowData.ClientHeight = 301;
  ShowData.Button = kNoButton;
  ShowData.Kill_TCP = TRUE;
  ShowData.call = FALSE;
  ShowData.lin_call = FALSE;
  ShowData.SetTitle("");

  MESSAGE = RegisterWindowMessage(kProgramName);

  if (!FindInstanceNumber()) {
    Diag(DiagLevel::Error, "no instance number could be taken (runtime folder unusable): ending");
    return 1;
  }
  g_hInstance = hInstance;

  if (!InitApp()) return 0;
  RouteCloseSignalsTo(g_hwndMain);

  InitSkin(g_hInstance, g_hwndMain, Skin);
  SkinBitmapPos(Skin, ShowData.ClientHeight, ShowData.ClientWidth);
  ShowMyWindow(g_hwndMain, ShowData);

  if (!AddNotifyIcon()) return 0;

  SetWindowPos(g_hwndMain, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
  // The show mode given to the program is ignored: the window always opens normally.
  ShowWindow(g_hwndMain, SW_SHOW);
  StartReaderThread();

  return RunMessageLoop();
}
