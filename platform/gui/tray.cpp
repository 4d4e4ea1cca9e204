// The notification-area icon on the toolkit's tray icon.
#include "platform/gui/tray.h"

#include <unistd.h>

#include <QPainter>
#include <QSystemTrayIcon>
#include <algorithm>
#include <array>
#include <map>

#include "platform/core/diagnostics.h"
#include "platform/core/messages.h"
#include "platform/gui/application.h"
#include "platform/gui/gui_thread.h"
#include "platform/gui/window.h"
#include "platform/gui/window_record.h"

namespace {

// One icon as the desktop shows it: the record's tip and icon, and what the program adds to them.
struct TrayIcon {
  QSystemTrayIcon* icon = nullptr;
  QString tip;    // the record's tip
  QIcon picture;  // the record's icon
  struct Extra {
    QString lines;
    bool marked = false;
  };
  std::array<Extra, 2> extras;  // by TrayExtra
  TrayExtra shownMark = TrayExtra::Telephone;
  bool markShown = false;
};

// GUI thread only. An entry without an icon keeps the extras set before the icon was added.
std::map<UINT, TrayIcon>& Icons() {
  static std::map<UINT, TrayIcon> icons;
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

// The mark in every size the icon comes in, so it shows whatever size the notification area asks for:
// the missed calls' red dot in the lower right quarter, the telephone's amber square in the upper left,
// told apart by place and shape as well as by colour.
QIcon Marked(const QIcon& picture, TrayExtra source) {
  QIcon marked;
  QList<QSize> sizes = picture.availableSizes();
  if (sizes.isEmpty()) sizes = {QSize(16, 16), QSize(22, 22), QSize(32, 32), QSize(48, 48)};
  for (const QSize& size : sizes) {
    QPixmap pixmap = picture.pixmap(size);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const int d = std::max(6, pixmap.width() / 2);
    painter.setPen(QPen(Qt::white, std::max(1, d / 6)));
    if (source == TrayExtra::MissedCalls) {
      painter.setBrush(QColor(0xE0, 0x10, 0x10));
      painter.drawEllipse(pixmap.width() - d, pixmap.height() - d, d - 1, d - 1);
    } else {
      painter.setBrush(QColor(0xF0, 0xA0, 0x00));
      painter.drawRect(0, 0, d - 1, d - 1);
    }
    painter.end();
    marked.addPixmap(pixmap);
  }
  return marked;
}

// The one place that makes what the desktop shows from the record and the extras.
void Apply(TrayIcon& t, bool pictureChanged) {
  if (t.icon == nullptr) return;
  QString shown = t.tip;
  for (const TrayIcon::Extra& extra : t.extras)
    if (!extra.lines.isEmpty()) shown += QLatin1Char('\n') + extra.lines;
  // The reader sets the tip for every picture: an unchanged tip costs the tray nothing.
  if (t.icon->toolTip() != shown) t.icon->setToolTip(shown);
  const auto& missed = t.extras[static_cast<std::size_t>(TrayExtra::MissedCalls)];
  const bool markShown = missed.marked || t.extras[static_cast<std::size_t>(TrayExtra::Telephone)].marked;
  const TrayExtra mark = missed.marked ? TrayExtra::MissedCalls : TrayExtra::Telephone;
  if (markShown != t.markShown || (markShown && mark != t.shownMark)) pictureChanged = true;
  t.markShown = markShown;
  t.shownMark = mark;
  if (pictureChanged) t.icon->setIcon(markShown ? Marked(t.picture, mark) : t.picture);
}

}  // namespace

HICON GetClassSmallIcon(HWND hwnd) {
  WindowRecord& w = TheWindow();
  if (!IsOurWindow(hwnd) || w.windowClass.smallIcon.isNull()) return nullptr;
  return &w.windowClass.smallIcon;
}

std::string NotifyIconTip(UINT id) {
  auto it = Icons().find(id);
  if (it == Icons().end() || it->second.icon == nullptr) return {};
  return it->second.icon->toolTip().toUtf8().toStdString();
}

void SetNotifyIconExtra(UINT id, TrayExtra source, const std::string& extraLines, bool marked) {
  const QString lines = QString::fromUtf8(extraLines.c_str());
  RunOnGuiThread([id, source, lines, marked] {
    TrayIcon& t = Icons()[id];
    t.extras[static_cast<std::size_t>(source)] = {lines, marked};
    Apply(t, false);
  });
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
        TrayIcon& t = Icons()[d.uID];
        if (t.icon == nullptr) t.icon = new QSystemTrayIcon();
        t.picture = *static_cast<const QIcon*>(d.hIcon);
        if (d.uFlags & NIF_TIP) t.tip = tip;
        Apply(t, true);
        if (d.uFlags & NIF_MESSAGE) {
          QObject::disconnect(t.icon, &QSystemTrayIcon::activated, nullptr, nullptr);
          QObject::connect(t.icon, &QSystemTrayIcon::activated,
                           [d](QSystemTrayIcon::ActivationReason reason) {
                             if (LPARAM mouse = MouseMessageFor(reason))
                               PostMessage(d.hWnd, d.uCallbackMessage, d.uID, mouse);
                           });
        }
        t.icon->show();
      });
      return TRUE;
    case NIM_MODIFY:
      RunOnGuiThread([d, tip] {
        auto it = Icons().find(d.uID);
        if (it == Icons().end() || it->second.icon == nullptr) return;
        TrayIcon& t = it->second;
        if (d.uFlags & NIF_TIP) t.tip = tip;
        const bool pictureChanged = (d.uFlags & NIF_ICON) && d.hIcon;
        if (pictureChanged) t.picture = *static_cast<const QIcon*>(d.hIcon);
        Apply(t, pictureChanged);
      });
      return TRUE;
    case NIM_DELETE:
      RunOnGuiThread([d] {
        auto it = Icons().find(d.uID);
        if (it == Icons().end()) return;
        if (it->second.icon != nullptr) {
          it->second.icon->hide();
          delete it->second.icon;
        }
        Icons().erase(it);
      });
      return TRUE;
    default: return FALSE;
  }
}
