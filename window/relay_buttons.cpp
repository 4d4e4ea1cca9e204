// The relay buttons: a release switches the relay on a worker and shows the hovered look again.
#include "door/relay_workers.h"
#include "platform/gui/drawing.h"
#include "state/display_record.h"
#include "state/program.h"
#include "window/button_actions.h"

namespace {

// The hovered look at the place of the normal one: the pointer is still over the button.
void DrawOver(int over, int up) {
  std::lock_guard lock(SkinMutex());
  HDC hdc = GetDC(g_hwndMain);
  if (hdc == nullptr) return;
  DrawState(hdc, Skin[over].ShBitmap, Skin[up].PosY, Skin[up].PosX);
  ReleaseDC(g_hwndMain, hdc);
}

}  // namespace

void Relay1Released() {
  StartRelay(1);
  DrawOver(SKIN_BR_B1_OVER, SKIN_BR_B1_UP);
}

void Relay2Released() {
  StartRelay(2);
  DrawOver(SKIN_BR_B2_OVER, SKIN_BR_B2_UP);
}
