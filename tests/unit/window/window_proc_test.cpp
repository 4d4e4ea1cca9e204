// The main window procedure: sizing, painting on request, and closing with the saved geometry.
#include "window/window_proc.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

#include "app/my_close.h"
#include "platform/core/profile.h"
#include "platform/gui/surface_access.h"
#include "platform/gui/window.h"
#include "resources/builtin.h"
#include "skin/skin.h"
#include "state/program.h"
#include "state/settings.h"
#include "tests/support/gui/gui_test_env.h"
#include "tests/support/gui/program_window.h"
#include "tests/support/temp_folder.h"

namespace {

using test_support::PumpUntilFn;
using test_support::TempFolder;

class WindowProcTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test_support::RegisterProgramClass(WindowProcMain, kClassName);
    SetShutdownProcedure(MyClose);
    ASSERT_NE(test_support::OpenProgramWindow(tmp, kClassName), HWND_NONE);
  }

  void TearDown() override { test_support::CloseProgramWindow(); }

  TempFolder tmp;
};

TEST_F(WindowProcTest, SizeMessageResizesInPlaceAndLaysTheSkinOutAgain) {
  SendMessage(g_hwndMain, WM_SIZE, 0, MAKELPARAM(436, 351));
  EXPECT_EQ(ShowData.ClientWidth, 436);
  EXPECT_EQ(ShowData.ClientHeight, 351);
  RECT rect{};
  ASSERT_TRUE(GetWindowRect(g_hwndMain, &rect));
  EXPECT_EQ(rect.left, 40);
  EXPECT_EQ(rect.top, 30);
  EXPECT_EQ(rect.right - rect.left, 436);
  EXPECT_EQ(rect.bottom - rect.top, 351);
  EXPECT_EQ(Skin[SKIN_R].PosY, 428);
  EXPECT_EQ(Skin[SKIN_BR].PosX, 316);
  EXPECT_EQ(Skin[SKIN_BR_B1_UP].PosY, 347);
}

TEST_F(WindowProcTest, PaintRequestsPaintAShownWindowButNeverShowAHiddenOne) {
  InvalidateRect(g_hwndMain);
  test_support::PumpUntilFn([] { return false; }, 100);
  EXPECT_FALSE(IsWindowVisible(g_hwndMain));
  EXPECT_NE(CopySurface(g_hwndMain).at(4, 150), GetBitmapPixel(Skin[SKIN_L].ShBitmap, 4, 50));

  ShowWindow(g_hwndMain, SW_SHOW);  // showing asks for the program's picture
  ASSERT_TRUE(PumpUntilFn(
      [] { return CopySurface(g_hwndMain).at(4, 150) == GetBitmapPixel(Skin[SKIN_L].ShBitmap, 4, 50); },
      2000));
  const SurfaceCopy surface = CopySurface(g_hwndMain);
  ASSERT_EQ(surface.width, 336);
  EXPECT_EQ(surface.at(247 + 36, 266 + 17), GetBitmapPixel(Skin[SKIN_BR_B1_UP].ShBitmap, 36, 17));
}

TEST_F(WindowProcTest, CloseSavesPlaceAndSizeThenDestroysAndQuits) {
  SetWindowPos(g_hwndMain, HWND_TOP, -20, -7, 0, 0, SWP_NOSIZE);
  SendMessage(g_hwndMain, WM_SIZE, 0, MAKELPARAM(400, 320));
  ShowData.Kill_TCP = FALSE;
  SendMessage(g_hwndMain, WM_CLOSE, 0, 0);

  EXPECT_EQ(ShowData.Kill_TCP, TRUE);
  EXPECT_FALSE(IsWindowVisible(g_hwndMain));
  EXPECT_EQ(GetPrivateProfileInt("Window 0", "Left", 1, ini_file), -20);
  EXPECT_EQ(GetPrivateProfileInt("Window 0", "Top", 1, ini_file), -7);
  EXPECT_EQ(GetPrivateProfileInt("Window 0", "Width", 1, ini_file), 400);
  EXPECT_EQ(GetPrivateProfileInt("Window 0", "Height", 1, ini_file), 320);
  for (const t_Skin& piece : Skin) EXPECT_FALSE(piece.ShBitmap) << piece.Name;
  // The default handling destroyed the window: no further message reaches the procedure.
  EXPECT_EQ(SendMessage(g_hwndMain, WM_SIZE, 0, MAKELPARAM(500, 500)), 0);
  EXPECT_EQ(ShowData.ClientWidth, 400);
}

}  // namespace
