// The hit test that gives the frameless window a title bar to drag and a corner to resize.
#include "platform/gui/window.h"
#include "window/pointer.h"

LRESULT MyNCHitTest(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = DefWindowProc(hwnd, message, wParam, lParam);
  // Asked on every pointer move: the platform's last known rectangle, not a round trip to the server.
  RECT rect{};
  GetCachedWindowRect(hwnd, &rect);
  const POINTS p = MAKEPOINTS(lParam);
  int topHeight, cornerWidth, gripWidth, gripHeight;
  {
    RecursiveLock lock(SkinMutex());
    topHeight = Skin[SKIN_T].Height;
    cornerWidth = Skin[SKIN_TR].Width;
    gripWidth = Skin[SKIN_BR].Width;
    gripHeight = Skin[SKIN_BR].Height;
  }
  // The top bar drags the window up to 5 pixels short of the corner with the three small buttons.
  if (p.y < rect.top + topHeight && p.x < rect.right - cornerWidth - 5) result = HTCAPTION;
  // Tested second: where both hold, the grip wins.
  if (p.y > rect.bottom - gripHeight && p.x > rect.right - gripWidth) result = HTBOTTOMRIGHT;
  return result;
}
