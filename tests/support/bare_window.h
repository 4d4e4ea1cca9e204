// A bare 336 x 301 main window with only the default handling, for tests that paint into its surface.
#pragma once

#include "platform/surface_access.h"
#include "platform/window.h"
#include "resources/builtin.h"
#include "tests/support/gui_test_env.h"

namespace test_support {

inline LRESULT BareWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProc(hwnd, message, wParam, lParam);
}

// The platform keeps one window class at a time and a test program may mix suites with classes of
// their own, so each suite registers its class again. Returns HWND_NONE on failure.
inline HWND OpenBareWindow(const char* className) {
  EnsurePlatform();
  WNDCLASSEX wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = BareWindowProc;
  wc.hInstance = &kBuiltinResources;
  wc.lpszClassName = className;
  RegisterClassEx(&wc);  // FALSE when it is the registered class already
  return CreateWindowEx(className, "Kestrova_1.39", 0, 0, 336, 301);
}

// Destroys the window and waits until its surface is gone.
inline void CloseBareWindow(HWND hwnd) {
  DestroyWindow(hwnd);
  PumpUntilFn([hwnd] { return CopySurface(hwnd).width == 0; }, 2000);
}

}  // namespace test_support
