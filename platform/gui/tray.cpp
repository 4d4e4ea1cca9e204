// The notification-area icon on the toolkit's tray icon.
#include "platform/gui/tray.h"

#include <unistd.h>

#include <QSystemTrayIcon>
#include <map>

#include "platform/core/diagnostics.h"
#include "platform/core/messages.h"
#include "platform/gui/application.h"
#include "platform/gui/gui_thread.h"
#include "platform/gui/window.h"
#include "platform/gui/window_record.h"

namespace {

// GUI thread only.
std::map<UINT, QSystemTrayIcon*>& Icons() {
  static std::map<UINT, QSystemTrayIcon*> icons;
  return icons;
}

LPARAM MouseMessageFor(QSystemTrayIcon::ActivationReason reason) {
  switch (reason) {
    case QSystemTrayIcon::Trigger: return WM_LBUTTONDOWN;
    case QSystemTrayIcon::DoubleClick: return WM_LBUTTONDBLCLK;
    case QSystemTrayIcon::Context: return WM_RBUTTONDOWN;
    default: return 0;
  }
}

}  // namespace

HICON GetClassSmallIcon(HWND hwnd) {
  WindowRecord& w = TheWindow();
  if (!IsOurWindow(hwnd) || w.windowClass.smallIcon.isNull()) return nullptr;
  return &w.windowClass.smallIcon;
}

std::string NotifyIconTip(UINT id) {
  auto it = Icons().find(id);
  return it == Icons().end() ? std::string() : it->second->toolTip().toUtf8().toStdString();
}

bool IsTrayAvailable() { return QSystemTrayIcon::isSystemTrayAvailable(); }

void PutWindowAway(HWND hwnd) {
  // Whether there is a notification area is the toolkit's to say, on the GUI thread only; another
  // thread waits for the answer, so the window's state is settled when it returns.
  auto putAway = [hwnd] { ShowWindow(hwnd, IsTrayAvailable() ? SW_HIDE : SW_MINIMIZE); };
  if (IsGuiThread())
    putAway();
  else if (!RunOnGuiThreadAndWait(putAway, 5000))
    Diag(DiagLevel::Warning, "the window could not be put away in time");
}

BOOL Shell_NotifyIcon(DWORD message, const NOTIFYICONDATA* data) {
  if (data == nullptr || !IsOurWindow(data->hWnd)) return FALSE;
  const NOTIFYICONDATA d = *data;
  const QString tip = QString::fromUtf8(d.szTip, static_cast<int>(strnlen(d.szTip, sizeof d.szTip)));
  switch (message) {
    case NIM_ADD:
      if ((d.uFlags & NIF_ICON) == 0 || d.hIcon == nullptr) return FALSE;
      if (!IsTrayAvailable())
        Diag(DiagLevel::Warning, "the desktop has no notification area; the icon appears when one starts");
      RunOnGuiThread([d, tip] {
        QSystemTrayIcon*& icon = Icons()[d.uID];
        if (icon == nullptr) icon = new QSystemTrayIcon();
        icon->setIcon(*static_cast<const QIcon*>(d.hIcon));
        if (d.uFlags & NIF_TIP) icon->setToolTip(tip);
        if (d.uFlags & NIF_MESSAGE) {
          QObject::disconnect(icon, &QSystemTrayIcon::activated, nullptr, nullptr);
          QObject::connect(icon, &QSystemTrayIcon::activated, [d](QSystemTrayIcon::ActivationReason reason) {
            if (LPARAM mouse = MouseMessageFor(reason)) PostMessage(d.hWnd, d.uCallbackMessage, d.uID, mouse);
          });
        }
        icon->show();
      });
      return TRUE;
    case NIM_MODIFY:
      RunOnGuiThread([d, tip] {
        auto it = Icons().find(d.uID);
        if (it == Icons().end()) return;
        // The reader sets the tip for every picture: an unchanged tip costs the tray nothing.
        if ((d.uFlags & NIF_TIP) && it->second->toolTip() != tip) it->second->setToolTip(tip);
        if ((d.uFlags & NIF_ICON) && d.hIcon) it->second->setIcon(*static_cast<const QIcon*>(d.hIcon));
      });
      return TRUE;
    case NIM_DELETE:
      RunOnGuiThread([d] {
        auto it = Icons().find(d.uID);
        if (it == Icons().end()) return;
        it->second->hide();
        delete it->second;
        Icons().erase(it);
      });
      return TRUE;
    default: return FALSE;
  }
}
