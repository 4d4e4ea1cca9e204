// Toolkit events of the main window, delivered as window messages.
#include "platform/gui/main_window_widget.h"

#include <unistd.h>

#include <QCloseEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QWindowStateChangeEvent>

#include "platform/gui/owned_dialogs.h"
#include "platform/gui/window_record.h"

MainWindowWidget::MainWindowWidget()
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  // The whole window comes from the surface: no toolkit background under it.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  setMouseTracking(true);
}

void MainWindowWidget::startTimer0(UINT id, UINT milliseconds) {
  QTimer*& timer = timers_[id];
  if (timer == nullptr) {
    timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, [id] { DispatchToProc(WM_TIMER, id, 0); });
  }
  timer->start(static_cast<int>(milliseconds));
}

void MainWindowWidget::stopTimer(UINT id) {
  auto it = timers_.find(id);
  if (it != timers_.end()) it->second->stop();
}

void MainWindowWidget::stopAllTimers() {
  for (auto& [id, timer] : timers_) timer->stop();
}

void MainWindowWidget::paintEvent(QPaintEvent*) {
  WindowRecord& w = TheWindow();
  QPainter painter(this);
  std::lock_guard lock(w.surfaceMutex);
  painter.drawImage(0, 0, w.surface);
}

void MainWindowWidget::resizeEvent(QResizeEvent* event) {
  WindowRecord& w = TheWindow();
  const int width = event->size().width(), height = event->size().height();
  w.width = width;
  w.height = height;
  ResizeSurface(width, height);
  DispatchToProc(WM_SIZE, 0, MAKELPARAM(width, height));
  InvalidateRect(static_cast<HWND>(getpid()));
}

void MainWindowWidget::moveEvent(QMoveEvent* event) {
  TheWindow().x = event->pos().x();
  TheWindow().y = event->pos().y();
}

void MainWindowWidget::showEvent(QShowEvent*) {
  InvalidateRect(static_cast<HWND>(getpid()));
  pointerMayRestHere();
}

void MainWindowWidget::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  // The last modal dialog over the window ended: the pointer may rest where the dialog was.
  if (event->type() == QEvent::EnabledChange && isEnabled()) pointerMayRestHere();
  if (event->type() != QEvent::WindowStateChange) return;
  WindowRecord& w = TheWindow();
  // Minimised by the program or the window manager, or back: the dialogs follow (see ShowWindow).
  const bool wasIconic = static_cast<QWindowStateChangeEvent*>(event)->oldState() & Qt::WindowMinimized;
  if (wasIconic != isMinimized()) {
    OwnerMinimized(this, isMinimized());
    if (!isMinimized()) {
      RaiseWithOwnedDialogs(this);
      pointerMayRestHere();
    }
  }
  const bool wasMinimized = w.minimized.exchange(isMinimized());
  // Back from the task bar: the program paints the window afresh.
  if (wasMinimized && !isMinimized() && w.visible) InvalidateRect(static_cast<HWND>(getpid()));
}

void MainWindowWidget::closeEvent(QCloseEvent* event) {
  // The desktop's close request goes to the window procedure, whose default handling destroys the window.
  event->ignore();
  DispatchToProc(WM_CLOSE, 0, 0);
}
