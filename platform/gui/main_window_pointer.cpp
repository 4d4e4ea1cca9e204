// The main window's pointer: the window procedure's hit test decides between dragging, resizing and
// the client messages, as a framed window's title bar and border would.
#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QTimer>
#include <QWindow>
#include <algorithm>

#include "platform/gui/main_window_widget.h"
#include "platform/gui/window_record.h"

namespace {

// How long the window manager may take to grab the pointer after a drag was handed to it.
constexpr qint64 kManagerGrabGraceMs = 300;

LPARAM PointParam(int x, int y) { return MAKELPARAM(static_cast<unsigned>(x), static_cast<unsigned>(y)); }

}  // namespace

void MainWindowWidget::applyMinimumSize() {
  MINMAXINFO info{};
  info.ptMinTrackSize = {minimumWidth(), minimumHeight()};
  info.ptMaxTrackSize = {maximumWidth(), maximumHeight()};
  DispatchToProc(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  const QSize least(std::max(info.ptMinTrackSize.x, 0), std::max(info.ptMinTrackSize.y, 0));
  if (least != minimumSize()) setMinimumSize(least);
}

LRESULT MainWindowWidget::hitTest(QPoint local) {
  // Screen position from the same cached origin the hit test compares with, so both agree even while
  // the window system has not told us of a move yet.
  const WindowRecord& w = TheWindow();
  return DispatchToProc(WM_NCHITTEST, 0, PointParam(w.x + local.x(), w.y + local.y()));
}

void MainWindowWidget::pressed(QMouseEvent* event, LRESULT hit) {
  tracking_ = hit == HTCAPTION ? Tracking::Move : Tracking::Resize;
  trackStartPointer_ = event->globalPosition().toPoint();
  trackStartGeometry_ = geometry();
  if (tracking_ == Tracking::Resize) applyMinimumSize();
  QWindow* window = windowHandle();
  handedToManager_ = window != nullptr && (tracking_ == Tracking::Move
                                               ? window->startSystemMove()
                                               : window->startSystemResize(Qt::BottomEdge | Qt::RightEdge));
  handedAt_.start();
}

void MainWindowWidget::followPointer(QPoint global) {
  const QPoint delta = global - trackStartPointer_;
  if (tracking_ == Tracking::Move) {
    move(trackStartGeometry_.topLeft() + delta);
  } else {
    const QSize wanted = trackStartGeometry_.size() + QSize(delta.x(), delta.y());
    resize(wanted.expandedTo(minimumSize()).boundedTo(maximumSize()));
  }
}

void MainWindowWidget::endTracking() {
  tracking_ = Tracking::None;
  handedToManager_ = false;
}

void MainWindowWidget::mouseMoveEvent(QMouseEvent* event) {
  if (tracking_ != Tracking::None) {
    // A window manager that took the drag over sends no release when it ends; a lost grab swallows one.
    if (!(event->buttons() & Qt::LeftButton)) {
      endTracking();
      return;
    }
    // Moves that reach us before the window manager has grabbed the pointer are its to follow. Moves
    // with the button still held after that mean it did not take the drag (it can refuse, e.g. right
    // after the window appeared): we follow the pointer ourselves.
    if (handedToManager_ && handedAt_.elapsed() < kManagerGrabGraceMs) return;
    handedToManager_ = false;
    followPointer(event->globalPosition().toPoint());
    return;
  }
  const QPoint p = event->position().toPoint();
  // While a button is held the toolkit reports moves outside the window too; they belong to whatever
  // lies under the pointer there.
  if (rect().contains(p)) clientMove(p);
}

void MainWindowWidget::clientMove(QPoint p) {
  const LRESULT hit = hitTest(p);
  const bool grip = hit == HTBOTTOMRIGHT;
  if (grip != gripCursor_) {
    gripCursor_ = grip;
    if (grip)
      setCursor(Qt::SizeFDiagCursor);
    else
      unsetCursor();
  }
  // The title bar and the grip are not client area: moves there are no client moves.
  if (hit == HTCLIENT) DispatchToProc(WM_MOUSEMOVE, 0, PointParam(p.x(), p.y()));
}

void MainWindowWidget::mousePressEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  if (event->button() != Qt::LeftButton) {
    if (event->button() == Qt::RightButton) DispatchToProc(WM_RBUTTONDOWN, 0, PointParam(p.x(), p.y()));
    return;
  }
  endTracking();  // a drag the window manager ended without telling us
  const LRESULT hit = hitTest(p);
  if (hit == HTCAPTION || hit == HTBOTTOMRIGHT)
    pressed(event, hit);
  else if (hit == HTCLIENT)
    DispatchToProc(WM_LBUTTONDOWN, 0, PointParam(p.x(), p.y()));
}

void MainWindowWidget::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  if (event->button() != Qt::LeftButton) {
    if (event->button() == Qt::RightButton && rect().contains(p))
      DispatchToProc(WM_RBUTTONUP, 0, PointParam(p.x(), p.y()));
    return;
  }
  if (tracking_ != Tracking::None) {
    if (!handedToManager_) followPointer(event->globalPosition().toPoint());
    endTracking();
    return;
  }
  // A release outside the window belongs to the window under the pointer, as a move there does;
  // one over the title bar or the grip is not a client release.
  if (rect().contains(p) && hitTest(p) == HTCLIENT) DispatchToProc(WM_LBUTTONUP, 0, PointParam(p.x(), p.y()));
}

void MainWindowWidget::enterEvent(QEnterEvent*) { pointerMayRestHere(); }

void MainWindowWidget::pointerMayRestHere() {
  if (restCheckQueued_) return;
  restCheckQueued_ = true;
  // After the change that caused it has been handled: a closing dialog's owner is enabled again, a window
  // shown by the program has been painted.
  QTimer::singleShot(0, this, [this] {
    restCheckQueued_ = false;
    moveToRestingPointer();
  });
}

void MainWindowWidget::moveToRestingPointer() {
  // The program's button logic acts on a press only for the button its last move lit; on the desktop it was
  // written for, the system reports a move whenever the window under the pointer changes.
  if (tracking_ != Tracking::None || !isVisible() || isMinimized() || !isEnabled()) return;
  const QPoint global = QCursor::pos();
  // Not through a dialog or another program's window that covers this one there.
  if (QApplication::widgetAt(global) != this) return;
  const QPoint p = mapFromGlobal(global);
  if (rect().contains(p)) clientMove(p);
}
