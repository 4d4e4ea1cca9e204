// The main window's operations, callable from any thread.
#include "platform/gui/window.h"

#include <unistd.h>

#include <QApplication>
#include <QGuiApplication>
#include <QPainter>
#include <QRegion>
#include <cstring>
#include <memory>

#include "platform/core/diagnostics.h"
#include "platform/core/round_region.h"
#include "platform/gui/application.h"
#include "platform/gui/bus_inbox.h"
#include "platform/gui/dialog.h"
#include "platform/gui/dialog_registry.h"
#include "platform/gui/gui_thread.h"
#include "platform/gui/instance_bus.h"
#include "platform/gui/main_window_widget.h"
#include "platform/gui/owned_dialogs.h"
#include "platform/gui/resource_icon.h"
#include "platform/gui/window_record.h"
#include "platform/gui/x11_geometry.h"

namespace {

HWND OwnHandle() { return static_cast<HWND>(getpid()); }

QRegion RoundedRegion(int width, int height, int ew, int eh) {
  QRegion region;
  const std::vector<int> insets = RoundedRowInsets(width, height, ew, eh);
  int row = 0;
  while (row < height) {
    int end = row + 1;
    while (end < height && insets[end] == insets[row]) ++end;
    const int inset = insets[row];
    if (width - 2 * inset > 0) region += QRect(inset, row, width - 2 * inset, end - row);
    row = end;
  }
  return region;
}

}  // namespace

WindowRecord& TheWindow() {
  static WindowRecord record;
  return record;
}

bool IsOurWindow(HWND hwnd) { return hwnd == OwnHandle() && TheWindow().exists; }

LRESULT DispatchToProc(UINT message, WPARAM wParam, LPARAM lParam) {
  WindowRecord& w = TheWindow();
  if (!w.exists || w.windowClass.proc == nullptr) return 0;
  return w.windowClass.proc(OwnHandle(), message, wParam, lParam);
}

void ResizeSurface(int width, int height) {
  WindowRecord& w = TheWindow();
  std::lock_guard lock(w.surfaceMutex);
  if (w.surface.width() == width && w.surface.height() == height) return;
  QImage resized(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
  resized.fill(Qt::black);
  if (!w.surface.isNull()) {
    QPainter painter(&resized);
    painter.drawImage(0, 0, w.surface);
  }
  w.surface = resized;
}

void ScheduleScreenUpdate() {
  WindowRecord& w = TheWindow();
  if (w.screenUpdatePending.exchange(true)) return;
  QueueOnGuiThread([] {
    WindowRecord& rec = TheWindow();
    rec.screenUpdatePending = false;
    if (rec.widget) rec.widget->update();
  });
}

BOOL RegisterClassEx(const WNDCLASSEX* wc) {
  WindowRecord& w = TheWindow();
  if (wc == nullptr || wc->lpfnWndProc == nullptr || wc->lpszClassName == nullptr || !IsGuiThread())
    return FALSE;
  if (w.classRegistered && w.windowClass.name == wc->lpszClassName) return FALSE;
  w.windowClass.name = wc->lpszClassName;
  w.windowClass.proc = wc->lpfnWndProc;
  w.windowClass.icon = IconFromResource(wc->hInstance, wc->iconId);
  w.windowClass.smallIcon = IconFromResource(wc->hInstance, wc->smallIconId);
  w.classRegistered = true;
  // On X11 the class of a window is the application's name: tools find the window by it.
  QCoreApplication::setApplicationName(QString::fromLatin1(wc->lpszClassName));
  return TRUE;
}

HWND CreateWindowEx(const char* className, const char* text, int x, int y, int width, int height) {
  WindowRecord& w = TheWindow();
  if (!IsGuiThread() || !w.classRegistered || className == nullptr || w.windowClass.name != className ||
      w.exists)
    return HWND_NONE;
  auto* widget = new MainWindowWidget();
  widget->setWindowTitle(QString::fromLocal8Bit(text ? text : ""));
  if (!w.windowClass.icon.isNull()) widget->setWindowIcon(w.windowClass.icon);
  widget->setGeometry(x, y, width, height);
  w.x = x;
  w.y = y;
  w.width = width;
  w.height = height;
  {
    // A new window starts without a picture, whatever an earlier window of the process showed.
    std::lock_guard lock(w.surfaceMutex);
    w.surface = QImage();
  }
  ResizeSurface(width, height);
  w.widget = widget;
  w.visible = false;
  w.minimized = false;
  w.exists = true;
  widget->applyMinimumSize();
  return OwnHandle();
}

BOOL DestroyWindow(HWND hwnd) {
  if (!IsOurWindow(hwnd)) return FALSE;
  RunOnGuiThread([] {
    WindowRecord& w = TheWindow();
    if (!w.exists) return;
    if (w.widget) {
      w.widget->stopAllTimers();
      w.widget->hide();
    }
    w.visible = false;
    DispatchToProc(WM_DESTROY, 0, 0);
    w.exists = false;
    if (w.widget) w.widget->deleteLater();
    w.widget = nullptr;
  });
  return TRUE;
}

BOOL ShowWindow(HWND hwnd, int cmd) {
  if (!IsOurWindow(hwnd)) return FALSE;
  WindowRecord& w = TheWindow();
  const bool wasVisible = w.visible;
  w.visible = cmd != SW_HIDE;
  if (cmd == SW_MINIMIZE) w.minimized = true;
  if (cmd == SW_RESTORE) w.minimized = false;
  RunOnGuiThread([cmd] {
    MainWindowWidget* widget = TheWindow().widget;
    if (widget == nullptr) return;
    switch (cmd) {
      case SW_HIDE: widget->hide(); break;
      case SW_MINIMIZE:
        // Before the window manager hears of it: it would take the owned dialogs along.
        OwnerMinimized(widget, true);
        widget->showMinimized();
        break;
      case SW_RESTORE: widget->showNormal(); break;
      default: widget->show(); break;
    }
  });
  return wasVisible ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND hwnd) { return IsOurWindow(hwnd) && TheWindow().visible ? TRUE : FALSE; }

BOOL IsIconic(HWND hwnd) { return IsOurWindow(hwnd) && TheWindow().minimized ? TRUE : FALSE; }

BOOL SetForegroundWindow(HWND hwnd) {
  if (IsDialogHandle(hwnd)) {
    RunOnGuiThread([hwnd] { RaiseDialog(hwnd); });
    return TRUE;
  }
  if (!IsOurWindow(hwnd)) return FALSE;
  RunOnGuiThread([] {
    if (MainWindowWidget* widget = TheWindow().widget) {
      RaiseWithOwnedDialogs(widget);
      widget->activateWindow();
      widget->pointerMayRestHere();
    }
  });
  return TRUE;
}

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  if (!IsOurWindow(hwnd)) return FALSE;
  WindowRecord& w = TheWindow();
  const bool move = !(flags & SWP_NOMOVE);
  const bool size = !(flags & SWP_NOSIZE) && cx > 0 && cy > 0;
  if (move) {
    w.x = x;
    w.y = y;
  }
  if (size) {
    // Painters that resize go on drawing at the new size at once; the widget follows on the GUI thread.
    w.width = cx;
    w.height = cy;
    ResizeSurface(cx, cy);
  }
  RunOnGuiThread([=] {
    MainWindowWidget* widget = TheWindow().widget;
    if (widget == nullptr) return;
    if (move) widget->move(x, y);
    if (size && widget->size() != QSize(cx, cy)) widget->resize(cx, cy);
    // The window is created on top of all others; both z-order requests bring it up, below its dialogs.
    if (insertAfter == HWND_TOP || insertAfter == HWND_TOPMOST) {
      RaiseWithOwnedDialogs(widget);
      widget->pointerMayRestHere();
    }
  });
  return TRUE;
}

BOOL GetWindowRect(HWND hwnd, RECT* rect) {
  if (!IsOurWindow(hwnd) || rect == nullptr) return FALSE;
  WindowRecord& w = TheWindow();
  // The server knows of a move by the user or another program before the toolkit tells us.
  if (IsGuiThread() && QueryServerGeometry(w.widget, rect)) return TRUE;
  return GetCachedWindowRect(hwnd, rect);
}

BOOL GetCachedWindowRect(HWND hwnd, RECT* rect) {
  if (!IsOurWindow(hwnd) || rect == nullptr) return FALSE;
  WindowRecord& w = TheWindow();
  rect->left = w.x;
  rect->top = w.y;
  rect->right = w.x + w.width;
  rect->bottom = w.y + w.height;
  return TRUE;
}

BOOL SetWindowText(HWND hwnd, const char* text) {
  if (!IsOurWindow(hwnd)) return FALSE;
  QString title = QString::fromUtf8(text ? text : "");
  RunOnGuiThread([title] {
    if (MainWindowWidget* widget = TheWindow().widget) widget->setWindowTitle(title);
  });
  return TRUE;
}

int GetWindowText(HWND hwnd, char* text, int size) {
  if (text == nullptr || size <= 0) return 0;
  text[0] = '\0';
  if (!IsOurWindow(hwnd)) return 0;
  auto title = std::make_shared<QByteArray>();
  auto read = [title] {
    if (MainWindowWidget* widget = TheWindow().widget) *title = widget->windowTitle().toUtf8();
  };
  if (IsGuiThread())
    read();
  else if (!RunOnGuiThreadAndWait(read, 5000))
    return 0;
  const int len = std::min(static_cast<int>(title->size()), size - 1);
  std::memcpy(text, title->constData(), static_cast<std::size_t>(len));
  text[len] = '\0';
  return len;
}

HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight) {
  if (left != 0 || top != 0) Diag(DiagLevel::Warning, "rounded region must start at (0, 0)");
  return new RoundRectRegion{right, bottom, ellipseWidth, ellipseHeight};
}

int SetWindowRgn(HWND hwnd, HRGN region, BOOL) {
  std::unique_ptr<const RoundRectRegion> owned(region);
  if (!IsOurWindow(hwnd) || !owned) return 0;
  const RoundRectRegion r = *owned;
  RunOnGuiThread([r] {
    if (MainWindowWidget* widget = TheWindow().widget)
      widget->setMask(RoundedRegion(r.right, r.bottom, r.ellipseWidth, r.ellipseHeight));
  });
  return 1;
}

UINT SetTimer(HWND hwnd, UINT id, UINT milliseconds) {
  if (!IsOurWindow(hwnd)) return 0;
  RunOnGuiThread([id, milliseconds] {
    if (MainWindowWidget* widget = TheWindow().widget) widget->startTimer0(id, milliseconds);
  });
  return 1;
}

BOOL KillTimer(HWND hwnd, UINT id) {
  if (!IsOurWindow(hwnd)) return FALSE;
  RunOnGuiThread([id] {
    if (MainWindowWidget* widget = TheWindow().widget) widget->stopTimer(id);
  });
  return TRUE;
}

BOOL InvalidateRect(HWND hwnd) {
  if (!IsOurWindow(hwnd)) return FALSE;
  WindowRecord& w = TheWindow();
  if (w.paintPending.exchange(true)) return TRUE;
  QueueOnGuiThread([] {
    WindowRecord& rec = TheWindow();
    rec.paintPending = false;
    // A hidden window gets no paint message (the painting would show it again); showing it asks anew.
    if (rec.visible) DispatchToProc(WM_PAINT, 0, 0);
  });
  return TRUE;
}

LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (hwnd == HWND_BROADCAST || (hwnd != OwnHandle() && hwnd != HWND_NONE))
    return SendAcrossCopies(hwnd, message, wParam, lParam);
  if (!IsOurWindow(hwnd)) return 0;
  if (IsGuiThread()) return DispatchToProc(message, wParam, lParam);
  // Through the sent-message queue: the GUI thread takes it even while it waits for another copy.
  // A copy that waits for ever for its own window would hang a door phone: the wait is bounded.
  return bus::SendToOwnWindowAndWait(message, wParam, lParam, 5000);
}

BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (hwnd == HWND_BROADCAST || (hwnd != OwnHandle() && hwnd != HWND_NONE))
    return PostAcrossCopies(hwnd, message, wParam, lParam);
  if (!IsOurWindow(hwnd)) return FALSE;
  QueueOnGuiThread([=] { DispatchToProc(message, wParam, lParam); });
  return TRUE;
}

LRESULT DefWindowProc(HWND hwnd, UINT message, WPARAM, LPARAM) {
  switch (message) {
    case WM_CLOSE: DestroyWindow(hwnd); return 0;
    case WM_NCHITTEST: return HTCLIENT;
    default: return 0;
  }
}

UINT RegisterWindowMessage(const char* name) {
  // FNV-1a over the name, folded into the range of registered messages: equal in every copy.
  std::uint32_t hash = 2166136261u;
  for (const char* p = name ? name : ""; *p; ++p) hash = (hash ^ static_cast<unsigned char>(*p)) * 16777619u;
  return 0xC000u + (hash % 0x4000u);
}
