// Painting the title bar and single lines of text.
#include <cstring>

#include "skin/skin.h"

void ShowMyText(HDC hdc, const char* text, int len_text, int posx, int posy, COLORREF color) {
  SetTextColor(hdc, color);
  SetBkMode(hdc, TRANSPARENT);
  TextOut(hdc, posy, posx, text, len_text);
}

void ShowTitle(HWND hwnd, t_ShowData SData) {
  RecursiveLock skinLock(SkinMutex());
  ShowTitleLocked(hwnd, SData);
}

void ShowTitleLocked(HWND hwnd, t_ShowData SData) {
  t_Skin* s = SData.Skin;
  const int TitleX = s[SKIN_TL].Width;
  const int TitleY = 5;
  HDC hdc = GetDC(hwnd);
  if (hdc == nullptr) return;
  // Re-tiling across the full width first leaves no trace of a longer old title.
  if (s[SKIN_T].Width > 0)
    for (int x = TitleX; x < SData.ClientWidth; x += s[SKIN_T].Width)
      DrawState(hdc, s[SKIN_T].ShBitmap, x, s[SKIN_T].PosX);
  SData.title[kTitleSize - 1] = '\0';
  ShowMyText(hdc, SData.title, static_cast<int>(std::strlen(SData.title)), TitleY, TitleX, RGB(249, 229, 0));
  const bool highlighted =
      SData.Button == SKIN_TR_S || SData.Button == SKIN_TR_M || SData.Button == SKIN_TR_C;
  const t_Skin& corner = s[highlighted ? SData.Button : SKIN_TR];
  BitBlt(hdc, s[SKIN_TR].PosY, s[SKIN_TR].PosX, s[SKIN_TR].Width, s[SKIN_TR].Height, corner.ShBitmap, 0, 0);
  ReleaseDC(hwnd, hdc);
}
