// The button under the pointer and the redraw of the looks when it changes.
#include "platform/gui/drawing.h"
#include "state/program.h"
#include "window/pointer.h"

namespace {

// The top-right corner's three buttons are bands of columns counted from the corner's left edge,
// bounds excluded: gear 1..19, hide 26..39, close 46..59 (the columns tools/skingen paints them
// on). They are fixed whatever artwork the corner has, so a skin's own corner must put its buttons
// there; the columns between the bands light nothing.
constexpr int kGearBandEnd = 20;
constexpr int kHideBandStart = 25;
constexpr int kHideBandEnd = 40;
constexpr int kCloseBandStart = 45;
constexpr int kCloseBandEnd = 60;

// The piece that shows a button's normal look again when the pointer leaves it.
int NormalLookOf(int code, BOOL linCall) {
  switch (code) {
    case SKIN_BR_B1_OVER: return SKIN_BR_B1_UP;
    case SKIN_BR_B2_OVER: return SKIN_BR_B2_UP;
    case SKIN_BR_B3_OVER:
    case SKIN_BR_B4_OVER: return linCall ? SKIN_BR_B4_UP : SKIN_BR_B3_UP;
    default: return code;  // the top-right looks, and "none" (the plain corner)
  }
}

void DrawPiece(HDC hdc, int index) {
  if (index < 0 || index >= kSkinPieces) return;
  const t_Skin& s = Skin[index];
  DrawState(hdc, s.ShBitmap, s.PosY, s.PosX);
}

}  // namespace

int MyMouseMove(WPARAM, LPARAM lParam) {
  const POINTS cur = MAKEPOINTS(lParam);
  const BOOL linCall = ShowData.lin_call;
  // The layout may be rewritten by a painter on another thread; it holds this lock while it does.
  RecursiveLock lock(SkinMutex());
  int a = kNoButton;
  if (OverBMP(Skin[SKIN_BR_B3_OVER], cur)) a = linCall ? SKIN_BR_B4_OVER : SKIN_BR_B3_OVER;
  if (OverBMP(Skin[SKIN_BR_B2_UP], cur)) a = SKIN_BR_B2_OVER;
  if (OverBMP(Skin[SKIN_BR_B1_UP], cur)) a = SKIN_BR_B1_OVER;
  if (OverBMP(Skin[SKIN_TR], cur)) {
    // PosY is the piece's column: x counts from the corner's left edge.
    const int x = cur.x - Skin[SKIN_TR].PosY;
    if (0 < x && x < kGearBandEnd)
      a = SKIN_TR_S;
    else if (kHideBandStart < x && x < kHideBandEnd)
      a = SKIN_TR_M;
    else if (kCloseBandStart < x && x < kCloseBandEnd)
      a = SKIN_TR_C;
  }
  const int old = ShowData.Button;
  if (a != old) {
    HDC hdc = GetDC(g_hwndMain);
    if (hdc != nullptr) {
      // For the top-right codes both cover the same corner: the second drawing is what shows.
      DrawPiece(hdc, NormalLookOf(old, linCall));
      DrawPiece(hdc, a);
      ReleaseDC(g_hwndMain, hdc);
    }
  }
  return a;
}
