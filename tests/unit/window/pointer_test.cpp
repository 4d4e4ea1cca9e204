// Pointer tracking on the default window: drag and grip areas, hot areas, the looks a move or press draws.
#include <utility>

#include "tests/unit/window/main_window_fixture.h"

namespace {

using window_test::kLeft;
using window_test::kTop;
using window_test::MainWindowTest;

using PointerTest = MainWindowTest;

LRESULT HitAt(int x, int y) {
  return SendMessage(g_hwndMain, WM_NCHITTEST, 0, MAKELPARAM(kLeft + x, kTop + y));
}

TEST_F(PointerTest, TopBarDragsUpToFivePixelsShortOfTheCornerAndTheGripIsTheLastColumnsAndRows) {
  // The corner with the three small buttons starts at column 266.
  EXPECT_EQ(HitAt(0, 0), HTCAPTION);
  EXPECT_EQ(HitAt(260, 25), HTCAPTION);  // 6 pixels left of the corner
  EXPECT_EQ(HitAt(263, 10), HTCLIENT);   // 3 pixels left of it
  EXPECT_EQ(HitAt(261, 10), HTCLIENT);
  EXPECT_EQ(HitAt(100, 26), HTCLIENT);
  EXPECT_EQ(HitAt(300, 10), HTCLIENT);  // the small buttons are client area

  int grip = 0;
  for (int y = 200; y < 301; ++y)
    for (int x = 250; x < 336; ++x)
      if (HitAt(x, y) == HTBOTTOMRIGHT) {
        ++grip;
        EXPECT_TRUE(x >= 321 && y >= 267) << x << "," << y;
      }
  EXPECT_EQ(grip, 15 * 34);
  EXPECT_EQ(HitAt(320, 300), HTCLIENT);
  EXPECT_EQ(HitAt(335, 266), HTCLIENT);
}

TEST_F(PointerTest, HitTestFollowsTheWindowOffTheScreenEdgeAndAfterASizeChange) {
  SetWindowPos(g_hwndMain, HWND_TOP, -100, -20, 0, 0, SWP_NOSIZE);
  auto hit = [](int x, int y) {
    return SendMessage(g_hwndMain, WM_NCHITTEST, 0,
                       MAKELPARAM(static_cast<unsigned>(-100 + x), static_cast<unsigned>(-20 + y)));
  };
  EXPECT_EQ(hit(5, 5), HTCAPTION);
  EXPECT_EQ(hit(330, 295), HTBOTTOMRIGHT);
  SendMessage(g_hwndMain, WM_SIZE, 0, MAKELPARAM(436, 351));
  EXPECT_EQ(hit(330, 295), HTCLIENT);
  EXPECT_EQ(hit(430, 345), HTBOTTOMRIGHT);
  EXPECT_EQ(hit(360, 5), HTCAPTION);
}

TEST_F(PointerTest, HotAreasOfTheDefaultWindowAreExactlyTheDocumentedBands) {
  struct Case {
    int x, y, code;
  };
  const Case cases[] = {// relay 1: x 248..314, y 267..295
                        {248, 267, 11},
                        {314, 295, 11},
                        {247, 280, 5},
                        {315, 280, 5},
                        {280, 266, 5},
                        {280, 296, 5},
                        // relay 2 and slot 3
                        {175, 267, 12},
                        {241, 295, 12},
                        {242, 280, 5},
                        {102, 280, 21},
                        {168, 280, 21},
                        {169, 280, 5},
                        // the top-right corner's bands, y 1..20, from its left edge at 266
                        {267, 1, 15},
                        {285, 20, 15},
                        {266, 10, 5},
                        {286, 10, 5},
                        {291, 10, 5},
                        {292, 10, 16},
                        {305, 10, 16},
                        {306, 10, 5},
                        {311, 10, 5},
                        {312, 10, 17},
                        {325, 10, 17},
                        {326, 10, 5},
                        {312, 0, 5},
                        {312, 21, 5},
                        // the lamp and the video area are no buttons
                        {15, 280, 5},
                        {160, 120, 5}};
  for (const Case& c : cases) {
    MoveTo(c.x, c.y);
    EXPECT_EQ(ShowData.Button, c.code) << "at " << c.x << "," << c.y;
  }
}

TEST_F(PointerTest, MovesBetweenButtonsRestoreTheOldLookThenDrawTheNewOne) {
  ASSERT_NE(PiecePixel(SKIN_BR_B1_UP, 36, 17), PiecePixel(SKIN_BR_B1_OVER, 36, 17));
  MoveTo(280, 280);
  EXPECT_EQ(ShowData.Button, 11);
  EXPECT_EQ(ShownOfPiece(SKIN_BR_B1_UP, 36, 17), PiecePixel(SKIN_BR_B1_OVER, 36, 17));

  MoveTo(200, 280);  // straight onto relay 2
  EXPECT_EQ(ShowData.Button, 12);
  EXPECT_EQ(ShownOfPiece(SKIN_BR_B1_UP, 36, 17), PiecePixel(SKIN_BR_B1_UP, 36, 17));
  EXPECT_EQ(ShownOfPiece(SKIN_BR_B2_UP, 36, 17), PiecePixel(SKIN_BR_B2_OVER, 36, 17));

  // A move within the same button draws nothing: a look painted over it stays.
  {
    std::lock_guard lock(SkinMutex());
    HDC hdc = GetDC(g_hwndMain);
    DrawState(hdc, Skin[SKIN_BR_B2_DOWN].ShBitmap, Skin[SKIN_BR_B2_UP].PosY, Skin[SKIN_BR_B2_UP].PosX);
    ReleaseDC(g_hwndMain, hdc);
  }
  MoveTo(210, 285);
  EXPECT_EQ(ShownOfPiece(SKIN_BR_B2_UP, 36, 17), PiecePixel(SKIN_BR_B2_DOWN, 36, 17));
}

TEST_F(PointerTest, LeavingTheCloseButtonShowsThePlainCornerAgain) {
  // A pixel of the close band where the highlighted corner differs from the plain one.
  int px = -1, py = -1;
  for (int y = 1; y < 21 && px < 0; ++y)
    for (int x = 46; x < 60 && px < 0; ++x)
      if (PiecePixel(SKIN_TR_C, x, y) != PiecePixel(SKIN_TR, x, y)) px = x, py = y;
  ASSERT_GE(px, 0) << "the close look does not differ from the plain corner";
  MoveTo(318, 10);
  EXPECT_EQ(ShowData.Button, 17);
  EXPECT_EQ(ShownOfPiece(SKIN_TR, px, py), PiecePixel(SKIN_TR_C, px, py));
  MoveTo(100, 100);
  EXPECT_EQ(ShowData.Button, 5);
  EXPECT_EQ(ShownOfPiece(SKIN_TR, px, py), PiecePixel(SKIN_TR, px, py));
}

TEST_F(PointerTest, PressDrawsThePressedLookOfTheSlotsCurrentButton) {
  for (BOOL linCall : {FALSE, TRUE}) {
    ShowData.lin_call = linCall;
    ShowData.Button = kNoButton;
    MoveTo(130, 280);
    EXPECT_EQ(ShowData.Button, linCall ? 22 : 21);
    SendMessage(g_hwndMain, WM_LBUTTONDOWN, 0, MAKELPARAM(130, 280));
    EXPECT_EQ(ShowData.Button, linCall ? 22 : 21);  // a press changes no code
    const int down = linCall ? SKIN_BR_B4_DOWN : SKIN_BR_B3_DOWN;
    EXPECT_EQ(ShownOfPiece(down, 36, 17), PiecePixel(down, 36, 17)) << "lin_call " << linCall;
    MoveTo(100, 100);  // leaving restores the slot's normal look for the current state
    const int up = linCall ? SKIN_BR_B4_UP : SKIN_BR_B3_UP;
    EXPECT_EQ(ShownOfPiece(up, 36, 17), PiecePixel(up, 36, 17)) << "lin_call " << linCall;
  }
}

TEST_F(PointerTest, ReleaseActsOnTheButtonUnderThePointerNotTheOnePressed) {
  ShowWindow(g_hwndMain, SW_SHOW);
  MoveTo(280, 280);
  SendMessage(g_hwndMain, WM_LBUTTONDOWN, 0, MAKELPARAM(280, 280));
  EXPECT_EQ(ShownOfPiece(SKIN_BR_B1_UP, 36, 17), PiecePixel(SKIN_BR_B1_DOWN, 36, 17));
  MoveTo(100, 100);  // off the button: its normal look, nothing under the pointer
  EXPECT_EQ(ShownOfPiece(SKIN_BR_B1_UP, 36, 17), PiecePixel(SKIN_BR_B1_UP, 36, 17));
  SendMessage(g_hwndMain, WM_LBUTTONUP, 0, MAKELPARAM(100, 100));
  EXPECT_TRUE(IsWindowVisible(g_hwndMain));

  // Pressed on relay 1, released over the hide button: the window is put away (minimised, as the
  // offscreen desktop has no notification area).
  MoveTo(280, 280);
  SendMessage(g_hwndMain, WM_LBUTTONDOWN, 0, MAKELPARAM(280, 280));
  MoveTo(298, 10);
  SendMessage(g_hwndMain, WM_LBUTTONUP, 0, MAKELPARAM(298, 10));
  EXPECT_TRUE(IsIconic(g_hwndMain));
  EXPECT_EQ(ShowData.Button, kNoButton);
}

}  // namespace
