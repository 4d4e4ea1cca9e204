// The main window: class registration, creation, messages, visibility, geometry, region, timers.
// Every call may be made from any thread; calls that touch the window run on the GUI thread.
#pragma once

#include "platform/core/messages.h"
#include "platform/core/resources.h"

struct WNDCLASSEX {
  UINT cbSize;
  UINT style;
  WNDPROC lpfnWndProc;
  HINSTANCE hInstance;
  int iconId;       // resource id of the large icon
  int smallIconId;  // resource id of the small icon (the tray icon)
  const char* lpszClassName;
};
constexpr UINT CS_VREDRAW = 0x0001;
constexpr UINT CS_HREDRAW = 0x0002;

// FALSE when the class has no procedure or name, or is already registered.
BOOL RegisterClassEx(const WNDCLASSEX* wc);

// A borderless, top-level pop-up window of the registered class, not yet visible.
// Returns HWND_NONE on failure. The handle is this process's id.
HWND CreateWindowEx(const char* className, const char* text, int x, int y, int width, int height);
BOOL DestroyWindow(HWND hwnd);

constexpr int SW_HIDE = 0;
constexpr int SW_SHOW = 5;
constexpr int SW_MINIMIZE = 6;
constexpr int SW_RESTORE = 9;
// SW_SHOW shows a hidden window and leaves a minimised one minimised; SW_RESTORE brings it back.
BOOL ShowWindow(HWND hwnd, int cmd);
// A minimised window counts as visible: only hiding makes it invisible.
BOOL IsWindowVisible(HWND hwnd);
// Whether the window is minimised (by the program, the user or the window manager).
BOOL IsIconic(HWND hwnd);
BOOL SetForegroundWindow(HWND hwnd);

constexpr HWND HWND_TOP = 0;
constexpr HWND HWND_TOPMOST = static_cast<HWND>(-1);
constexpr UINT SWP_NOSIZE = 0x0001;
constexpr UINT SWP_NOMOVE = 0x0002;
// HWND_TOP and HWND_TOPMOST raise the window, as SetForegroundWindow does; its open dialogs stay above it.
BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
// The window's rectangle on the screen (right and bottom exclusive).
BOOL GetWindowRect(HWND hwnd, RECT* rect);
// The rectangle as last reported by the window system: no round trip, so cheap enough for every
// pointer move, but it may lag behind a move that another program just made.
BOOL GetCachedWindowRect(HWND hwnd, RECT* rect);
BOOL SetWindowText(HWND hwnd, const char* text);
// Copies the window text (UTF-8, cut to size - 1 bytes) and returns its length; 0 when there is none.
int GetWindowText(HWND hwnd, char* text, int size);

// A rounded rectangle from (0, 0) to (right, bottom) with a corner ellipse of w x h,
// built row by row so that all four corners are mirror images.
struct RoundRectRegion {
  int right, bottom, ellipseWidth, ellipseHeight;
};
using HRGN = const RoundRectRegion*;
HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight);
// The window owns the region afterwards.
int SetWindowRgn(HWND hwnd, HRGN region, BOOL redraw);

// Timers deliver WM_TIMER with wParam = id to the window procedure.
UINT SetTimer(HWND hwnd, UINT id, UINT milliseconds);
BOOL KillTimer(HWND hwnd, UINT id);

// Asks for WM_PAINT: the window procedure repaints the surface.
BOOL InvalidateRect(HWND hwnd);

// Runs the window procedure and returns its result; from another thread, waits (bounded) for the GUI thread.
// Another copy's handle or HWND_BROADCAST go over the instance bus (platform/instance_bus.h): registered
// messages and copy data only, each other copy given at most 2 s.
LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// The default handling: WM_CLOSE destroys the window, WM_NCHITTEST answers HTCLIENT.
LRESULT DefWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Registered message numbers: the same name gives the same number in every copy.
UINT RegisterWindowMessage(const char* name);
