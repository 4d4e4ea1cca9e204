// The main window procedure: painting, sizing, closing, the one-second timer.
#include "window/window_proc.h"

#include "app/app_globals.h"
#include "platform/application.h"
#include "platform/window.h"
#include "skin/skin.h"
#include "video/reader_thread.h"

LRESULT WindowProcMain(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      ShowMyWindow(g_hwndMain, ShowData);
      break;
    case WM_SIZE:
      ShowData.ClientWidth = LOWORD(static_cast<std::uintptr_t>(lParam));
      ShowData.ClientHeight = HIWORD(static_cast<std::uintptr_t>(lParam));
      SetWindowPos(g_hwndMain, HWND_TOP, 0, 0, ShowData.ClientWidth, ShowData.ClientHeight, SWP_NOMOVE);
      SkinBitmapPos(Skin, ShowData.ClientHeight, ShowData.ClientWidth);
      break;
    case WM_CLOSE:
      MyClose();
      break;
    case WM_DESTROY:
      PostQuitMessage(0);
      break;
    case WM_TIMER:
      if (wParam == 0) ReaderRestartTick();
      break;
    default:
      break;
  }
  return DefWindowProc(hwnd, message, wParam, lParam);
}
