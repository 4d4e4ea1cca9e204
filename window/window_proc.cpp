// The main window procedure: the private code table first, then the ordinary messages, then the default.
#include "window/window_proc.h"

#include "platform/gui/application.h"
#include "platform/gui/window.h"
#include "skin/skin.h"
#include "state/private_codes.h"
#include "state/program.h"
#include "state/tray_record.h"
#include "video/live_picture.h"
#include "video/reader_thread.h"
#include "window/button_actions.h"
#include "window/door_result.h"
#include "window/pointer.h"
#include "window/sip_handlers.h"
#include "window/window_messages.h"

namespace {

void (*g_shutdown)() = nullptr;
bool g_shuttingDown = false;

// Shutdown runs once. A close request that comes while it runs (a second click on the close button,
// SIGTERM, the desktop's close) is dropped: the running shutdown destroys the window when it is done.
bool RunShutdownOnce() {
  if (g_shuttingDown) return false;
  g_shuttingDown = true;
  if (g_shutdown != nullptr) g_shutdown();
  g_shuttingDown = false;
  return true;
}

}  // namespace

void SetShutdownProcedure(void (*shutdown)()) { g_shutdown = shutdown; }

LRESULT WindowProcMain(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  // MESSAGE is registered at run time, so it cannot be a case label; its number never collides with
  // the fixed ones below.
  if (message == MESSAGE && MESSAGE != 0 && wParam <= kLastPrivateCode) {
    if (const LRESULT answer = MyPrivateMessage(wParam, lParam); answer != 0) return answer;
  }

  switch (message) {
    case WM_NCHITTEST: return MyNCHitTest(hwnd, message, wParam, lParam);
    case WM_PAINT: ShowMyWindow(g_hwndMain, ShowData); break;
    case WM_SIZE:
      ShowData.ClientWidth = LOWORD(static_cast<std::uintptr_t>(lParam));
      ShowData.ClientHeight = HIWORD(static_cast<std::uintptr_t>(lParam));
      SetWindowPos(g_hwndMain, HWND_TOP, 0, 0, ShowData.ClientWidth, ShowData.ClientHeight, SWP_NOMOVE);
      SkinBitmapPos(Skin, ShowData.ClientHeight, ShowData.ClientWidth);
      break;
    case WM_GETMINMAXINFO: MyGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam)); break;
    case WM_CLOSE:
      if (!RunShutdownOnce()) return 0;
      break;
    case WM_DESTROY: PostQuitMessage(0); break;
    case WM_TIMER:
      if (wParam == kReaderTimer) ReaderRestartTick();
      if (wParam == kSipRoleTimer) SipRoleTick();
      if (wParam == kStallTimer) StallTick();
      if (wParam == kBannerTimer) ClearDoorBanner();
      break;
    case WM_MOUSEMOVE: ShowData.Button = MyMouseMove(wParam, lParam); break;
    case WM_LBUTTONDOWN: MyLButtonDown(ShowData.Button); break;
    case WM_LBUTTONUP: MyLButtonUp(ShowData.Button); break;
    case WM_COPYDATA:
      MyCopyData(static_cast<HWND>(wParam), reinterpret_cast<const COPYDATASTRUCT*>(lParam));
      break;
    case WM_USER: MyUserMessage(wParam, lParam); break;
    case kTrayCallbackMessage: MyTrayClick(hwnd, lParam); break;
    default: break;
  }
  return DefWindowProc(hwnd, message, wParam, lParam);
}
