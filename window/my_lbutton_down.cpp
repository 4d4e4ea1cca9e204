// The pressed look of the bottom buttons; the top-right buttons have none.
#include "platform/gui/drawing.h"
#include "state/program.h"
#include "window/pointer.h"

void MyLButtonDown(int But) {
  int piece;
  switch (But) {
    case SKIN_BR_B1_OVER: piece = SKIN_BR_B1_DOWN; break;
    case SKIN_BR_B2_OVER: piece = SKIN_BR_B2_DOWN; break;
    case SKIN_BR_B3_OVER: piece = SKIN_BR_B3_DOWN; break;
    case SKIN_BR_B4_OVER: piece = SKIN_BR_B4_DOWN; break;
    default: return;
  }
  DrawSkinPieceAt(piece, piece);
}

void DrawSkinPieceAt(int piece, int place) {
  RecursiveLock lock(SkinMutex());
  HDC hdc = GetDC(g_hwndMain);
  if (hdc == nullptr) return;
  DrawState(hdc, Skin[piece].ShBitmap, Skin[place].PosY, Skin[place].PosX);
  ReleaseDC(g_hwndMain, hdc);
}
