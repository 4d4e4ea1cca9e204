// A real main window on the offscreen platform, run by the program's window procedure behind a recorder.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "app/app_globals.h"
#include "app/settings.h"
#include "platform/drawing.h"
#include "platform/surface_access.h"
#include "platform/window.h"
#include "resources/builtin.h"
#include "skin/skin.h"
#include "tests/support/gui_test_env.h"
#include "tests/support/temp_folder.h"
#include "video/popup_state.h"
#include "window/window_proc.h"

namespace window_test {

struct Received {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

// Every message the window got, in order: messages the procedure sends to its own window show up here.
inline std::vector<Received>& Log() {
  static std::vector<Received> log;
  return log;
}

inline LRESULT RecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Log().push_back({message, wParam, lParam});
  return WindowProcMain(hwnd, message, wParam, lParam);
}

constexpr const char* kRecordingClass = "KestrovaRecordingClass";
constexpr int kLeft = 40, kTop = 30;

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test_support::EnsurePlatform();
    g_hInstance = &kBuiltinResources;
    MESSAGE = RegisterWindowMessage(kProgramName);
    WNDCLASSEX wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = RecordingProc;
    wc.hInstance = g_hInstance;
    wc.iconId = wc.smallIconId = IDI_PROGRAM_ICON;
    wc.lpszClassName = kRecordingClass;
    RegisterClassEx(&wc);  // FALSE when an earlier test registered it already
    setenv("ALLUSERSPROFILE", tmp.path().c_str(), 1);
    setenv("XDG_RUNTIME_DIR", tmp.path().c_str(), 1);
    AccessIniFile();
    ShowData.ClientWidth = 336;
    ShowData.ClientHeight = 301;
    ShowData.Button = kNoButton;
    ShowData.Kill_TCP = TRUE;
    ShowData.call = FALSE;
    ShowData.lin_call = FALSE;
    PopUp = FALSE;
    show = TRUE;
    hide = TRUE;
    g_hwndMain = CreateWindowEx(kRecordingClass, kProgramName, kLeft, kTop, 336, 301);
    ASSERT_NE(g_hwndMain, HWND_NONE);
    InitSkin(g_hInstance, g_hwndMain, Skin);
    SkinBitmapPos(Skin, 301, 336);
    Log().clear();
  }

  void TearDown() override {
    DestroyWindow(g_hwndMain);
    test_support::PumpUntilFn([] { return !IsWindowVisible(g_hwndMain); }, 2000);
    test_support::PumpEvents();
    unsetenv("ALLUSERSPROFILE");
  }

  static LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendMessage(g_hwndMain, message, wParam, lParam);
  }
  static void MoveTo(int x, int y) { Send(WM_MOUSEMOVE, 0, MAKELPARAM(x, y)); }
  // What the surface shows at (x, y).
  static std::uint32_t Shown(int x, int y) { return CopySurface(g_hwndMain).at(x, y); }
  // Piece `index`'s own pixel at (px, py), as it would show where the layout puts the piece.
  static std::uint32_t PiecePixel(int index, int px, int py) {
    return GetBitmapPixel(Skin[index].ShBitmap, px, py);
  }
  static std::uint32_t ShownOfPiece(int index, int px, int py) {
    return Shown(Skin[index].PosY + px, Skin[index].PosX + py);
  }

  test_support::TempFolder tmp;
};

}  // namespace window_test
