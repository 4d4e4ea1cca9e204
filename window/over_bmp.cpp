// The hot rectangle of a skin piece.
#include "window/pointer.h"

BOOL OverBMP(t_Skin s, POINTS cur) {
  return s.PosY < cur.x && cur.x < s.PosY + s.Width - 5 && s.PosX < cur.y && cur.y < s.PosX + s.Height - 5
             ? TRUE
             : FALSE;
}
