// The layout of the skin pieces for a given client size.
#include "skin/skin.h"

void SkinBitmapPos(t_Skin* s, int H, int W) {
  RecursiveLock lock(SkinMutex());
  SkinBitmapPosLocked(s, H, W);
}

void SkinBitmapPosLocked(t_Skin* s, int H, int W) {
  // One pass in index order: every rule refers only to pieces with lower indices (0, 2, 6, 8, 9),
  // whose sizes this pass has already refreshed.
  for (int i = 0; i < kSkinPieces; ++i) {
    BITMAP bm{};
    GetObject(s[i].ShBitmap, sizeof bm, &bm);
    s[i].Width = bm.bmWidth;
    s[i].Height = bm.bmHeight;
    s[i].PosX = 0;
    s[i].PosY = 0;
    const int ownW = s[i].Width, ownH = s[i].Height;
    switch (i) {
      case SKIN_L:
      case SKIN_T:
      case SKIN_TL: break;
      case SKIN_R:
      case SKIN_TR:
      case SKIN_TR_S:
      case SKIN_TR_M:
      case SKIN_TR_C: s[i].PosY = W - ownW; break;
      case SKIN_B:
      case SKIN_BL_OFF:
      case SKIN_BL_ON:
      case SKIN_BL_OVER:
      case SKIN_BL_DOWN: s[i].PosX = H - ownH; break;
      case SKIN_BR:
        s[i].PosX = H - ownH;
        s[i].PosY = W - ownW;
        break;
      case SKIN_BR_B1_UP:
      case SKIN_BR_B1_OVER:
      case SKIN_BR_B1_DOWN:
        s[i].PosX = H - ownH;
        s[i].PosY = W - ownW - s[SKIN_BR].Width;
        break;
      case SKIN_BR_B2_UP:
      case SKIN_BR_B2_OVER:
      case SKIN_BR_B2_DOWN:
        s[i].PosX = H - ownH;
        s[i].PosY = W - ownW - s[SKIN_BR].Width - s[SKIN_BR_B1_UP].Width;
        break;
      case SKIN_POZADI:
        s[i].PosY = s[SKIN_L].Width;
        s[i].PosX = s[SKIN_T].Height;
        break;
      default:  // slot 3: the call and hang-up buttons, 21 to 26
        s[i].PosX = H - ownH;
        s[i].PosY = W - ownW - s[SKIN_BR].Width - s[SKIN_BR_B1_UP].Width - s[SKIN_BR_B2_UP].Width;
        break;
    }
  }
}
