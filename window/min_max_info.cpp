// The smallest window that still holds the bottom row and the frame.
#include "state/display_record.h"
#include "window/window_messages.h"

void MyGetMinMaxInfo(MINMAXINFO* info) {
  if (info == nullptr) return;
  RecursiveLock lock(SkinMutex());
  // The lamp, the three bottom slots and the right edge side by side, with a little room for the grip.
  info->ptMinTrackSize.x = Skin[SKIN_R].Width + Skin[SKIN_BL_OFF].Width + Skin[SKIN_BR_B1_UP].Width +
                           Skin[SKIN_BR_B2_UP].Width + Skin[SKIN_BR_B3_UP].Width + 10;
  info->ptMinTrackSize.y = Skin[SKIN_T].Height + Skin[SKIN_B].Height;
}
