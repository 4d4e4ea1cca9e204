// A real main window on the offscreen platform, run by the program's window procedure behind a recorder.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "platform/gui/drawing.h"
#include "platform/gui/surface_access.h"
#include "platform/gui/window.h"
#include "resources/builtin.h"
#include "skin/skin.h"
#include "state/popup_state.h"
#include "state/program.h"
#include "state/settings.h"
#include "tests/support/gui/gui_test_env.h"
#include "tests/support/gui/program_window.h"
#include "tests/support/temp_folder.h"
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
    test_support::RegisterProgramClass(RecordingProc, kRecordingClass);
    ASSERT_NE(test_support::OpenProgramWindow(tmp, kRecordingClass, kLeft, kTop), HWND_NONE);
    Log().clear();
  }

  void TearDown() override { test_support::CloseProgramWindow(); }

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
