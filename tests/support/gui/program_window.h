// The program's main window on the offscreen platform, set up as start-up does, for tests that link the
// program's modules.
#pragma once

#include <cstdlib>

#include "platform/gui/window.h"
#include "resources/builtin.h"
#include "skin/skin.h"
#include "state/display_record.h"
#include "state/popup_state.h"
#include "state/program.h"
#include "state/settings.h"
#include "tests/support/gui/gui_test_env.h"
#include "tests/support/temp_folder.h"
#include "window/main_window_class.h"

namespace test_support {

// The platform keeps one window class at a time and test programs mix suites with classes of their
// own, so every test registers its class again; FALSE from a repeated registration is expected.
inline void RegisterProgramClass(WNDPROC proc, const char* className) {
  EnsurePlatform();
  g_hInstance = &kBuiltinResources;
  MESSAGE = RegisterWindowMessage(kProgramName);
  RegisterMainWindowClass(g_hInstance, proc, className);
}

// Settings and picture files in `folder`, the display state of a fresh start, and a hidden window of the
// default size at (left, top) with the built-in skin laid out. Returns the window, HWND_NONE on failure.
inline HWND OpenProgramWindow(const TempFolder& folder, const char* className, int left = 40, int top = 30) {
  setenv("ALLUSERSPROFILE", folder.path().c_str(), 1);
  setenv("XDG_RUNTIME_DIR", folder.path().c_str(), 1);
  AccessIniFile();
  ResetShowData();
  PopUp = FALSE;
  hide = TRUE;
  show = TRUE;
  g_hwndMain = CreateWindowEx(className, kProgramName, left, top, kDefaultClientWidth, kDefaultClientHeight);
  if (g_hwndMain == HWND_NONE) return HWND_NONE;
  InitSkin(g_hInstance, g_hwndMain, Skin);
  SkinBitmapPos(Skin, kDefaultClientHeight, kDefaultClientWidth);
  return g_hwndMain;
}

// Destroys the window and lets the platform finish with it.
inline void CloseProgramWindow() {
  DestroyWindow(g_hwndMain);
  PumpUntilFn([] { return !IsWindowVisible(g_hwndMain); }, 2000);
  PumpEvents();
  unsetenv("ALLUSERSPROFILE");
}

}  // namespace test_support
