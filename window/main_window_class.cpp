// The main window's class, registered before the window is created.
#include "window/main_window_class.h"

#include "platform/gui/window.h"
#include "resources/builtin.h"

BOOL RegisterMainWindowClass(HINSTANCE instance, WNDPROC proc, const char* className) {
  WNDCLASSEX wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.iconId = IDI_PROGRAM_ICON;
  wc.smallIconId = IDI_PROGRAM_ICON;
  wc.lpszClassName = className;
  return RegisterClassEx(&wc);
}
