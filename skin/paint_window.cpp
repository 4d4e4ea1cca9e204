// Painting the whole skinned window.
#include <cstdio>
#include <cstring>

#include "platform/gui/window.h"
#include "skin/background_picture.h"
#include "skin/skin.h"
#include "skin/video_banner.h"

namespace {

void Draw(HDC hdc, const t_Skin& piece) { DrawState(hdc, piece.ShBitmap, piece.PosY, piece.PosX); }

// Fills the video area while there is no video: the background picture, or the window fitted to the
// built-in background. W and H may change (the fit).
void PaintNoVideo(HWND hwnd, HDC hdc, t_Skin* s, int& W, int& H) REQUIRES(SkinLock) {
  const std::string background = SkinFolder() + "/" + kBackgroundPicture;
  bool fileOpens = false;
  if (std::FILE* file = std::fopen(background.c_str(), "rb")) {
    std::fclose(file);
    fileOpens = true;
  }
  if (fileOpens) {
    const int areaW = W - s[SKIN_L].Width - s[SKIN_R].Width;
    const int areaH = H - s[SKIN_T].Height - s[SKIN_B].Height;
    if (HBITMAP picture = LoadBackgroundPicture(background.c_str(), areaW, areaH))
      DrawState(hdc, picture, s[SKIN_POZADI].PosY, s[SKIN_POZADI].PosX);
    else  // a picture that cannot be decoded: the built-in background, and the painting goes on
      Draw(hdc, s[SKIN_POZADI]);
  } else {
    W = s[SKIN_L].Width + s[SKIN_R].Width + s[SKIN_POZADI].Width;
    H = s[SKIN_T].Height + s[SKIN_B].Height + s[SKIN_POZADI].Height;
    SkinBitmapPosLocked(s, H, W);
    SetWindowPos(hwnd, HWND_TOP, 0, 0, W, H, SWP_NOMOVE);
    Draw(hdc, s[SKIN_POZADI]);
  }
  SetTextColor(hdc, RGB(255, 255, 0));
  SetBkColor(hdc, RGB(0, 0, 0));
  SetBkMode(hdc, TRANSPARENT);
  TextOut(hdc, 20, 30, kConnectingNotice, static_cast<int>(std::strlen(kConnectingNotice)));
}

void TileDown(HDC hdc, const t_Skin& piece, int H) {
  if (piece.Height <= 0) return;
  for (int y = 0; y < H; y += piece.Height) DrawState(hdc, piece.ShBitmap, piece.PosY, y);
}

void TileRight(HDC hdc, const t_Skin& piece, int W) {
  if (piece.Width <= 0) return;
  for (int x = 0; x < W; x += piece.Width) DrawState(hdc, piece.ShBitmap, x, piece.PosX);
}

}  // namespace

void ShowMyWindow(HWND hwnd, t_ShowData SData) {
  RecursiveLock skinLock(SkinMutex());
  t_Skin* s = SData.Skin;
  int W = SData.ClientWidth, H = SData.ClientHeight;

  SetWindowRgn(hwnd, CreateRoundRectRgn(0, 0, W, H, 15, 15), TRUE);
  ShowWindow(hwnd, SW_SHOW);
  HDC hdc = GetDC(hwnd);
  if (hdc == nullptr) return;

  if (SData.Kill_TCP) {
    PaintNoVideo(hwnd, hdc, s, W, H);
    // With video, the picture's painter draws the banner over each picture.
    DrawVideoBanner(hdc, s[SKIN_POZADI].PosY, s[SKIN_POZADI].PosX, W - s[SKIN_L].Width - s[SKIN_R].Width,
                    H - s[SKIN_T].Height - s[SKIN_B].Height);
  }
  SData.ClientWidth = W;
  SData.ClientHeight = H;

  TileDown(hdc, s[SKIN_L], H);
  TileDown(hdc, s[SKIN_R], H);
  TileRight(hdc, s[SKIN_T], W);
  TileRight(hdc, s[SKIN_B], W);
  for (int i = SKIN_TL; i <= SKIN_BR_B2_UP; ++i) Draw(hdc, s[i]);

  ShowTitleLocked(hwnd, SData);

  Draw(hdc, s[SKIN_BR_B3_UP]);
  if (SData.lin_call) Draw(hdc, s[SKIN_BR_B4_UP]);
  if (SData.Button != kNoButton && SData.Button >= 0 && SData.Button < kSkinPieces)
    Draw(hdc, s[SData.Button]);
  if (SData.call) Draw(hdc, s[SKIN_BL_ON]);
  ReleaseDC(hwnd, hdc);
}
