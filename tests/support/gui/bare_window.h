// A bare main window of the default size with only the default handling, for tests that paint into its
// surface.
#pragma once

#include "platform/gui/surface_access.h"
#include "platform/gui/window.h"
#include "resources/builtin.h"
#include "state/display_record.h"
#include "state/program.h"
#include "tests/support/gui/gui_test_env.h"
#include "window/main_window_class.h"

namespace test_support {

inline LRESULT BareWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProc(hwnd, message, wParam, lParam);
}

// The platform keeps one window class at a time and a test program may mix suites with classes of
// their own, so each suite registers its class again. Returns HWND_NONE on failure.
inline HWND OpenBareWindow(const char* className) {
  EnsurePlatform();
  RegisterMainWindowClass(&kBuiltinResources, BareWindowProc, className);  // FALSE when registered already
  return CreateWindowEx(className, kProgramName, 0, 0, kDefaultClientWidth, kDefaultClientHeight);
}

// Destroys the window and waits until its surface is gone.
inline void CloseBareWindow(HWND hwnd) {
  DestroyWindow(hwnd);
  PumpUntilFn([hwnd] { return CopySurface(hwnd).width == 0; }, 2000);
}

}  // namespace test_support
