// The process's one main window as the platform keeps it: procedure, surface, cached geometry.
#pragma once

#include <QIcon>
#include <QImage>
#include <QPointer>
#include <atomic>
#include <mutex>
#include <string>

#include "platform/gui/window.h"

class MainWindowWidget;

struct WindowClass {
  std::string name;
  WNDPROC proc = nullptr;
  QIcon icon, smallIcon;
};

struct WindowRecord {
  // Set on the GUI thread only.
  WindowClass windowClass;
  bool classRegistered = false;
  QPointer<MainWindowWidget> widget;

  // Readable from any thread.
  std::atomic<bool> exists{false};
  std::atomic<bool> visible{false};  // shown, minimised or not
  std::atomic<bool> minimized{false};
  std::atomic<int> x{0}, y{0}, width{0}, height{0};
  std::atomic<bool> paintPending{false};
  std::atomic<bool> screenUpdatePending{false};

  // The surface every thread draws on; a thread may lock it several times (nested device contexts).
  std::recursive_mutex surfaceMutex;
  QImage surface;   // guarded by surfaceMutex
  int openDCs = 0;  // guarded by surfaceMutex
};

WindowRecord& TheWindow();
// True when hwnd names this process's existing window.
bool IsOurWindow(HWND hwnd);
// Calls the window procedure; GUI thread only.
LRESULT DispatchToProc(UINT message, WPARAM wParam, LPARAM lParam);
// Resizes the surface at once (keeping what it shows), whichever thread asks.
void ResizeSurface(int width, int height);
// Asks the GUI thread to copy the surface to the screen (coalesced).
void ScheduleScreenUpdate();
