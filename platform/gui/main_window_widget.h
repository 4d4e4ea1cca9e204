// The widget behind the main window: turns toolkit events into the window procedure's messages.
#pragma once

#include <QElapsedTimer>
#include <QRect>
#include <QWidget>
#include <map>

#include "platform/core/types.h"

class QTimer;

class MainWindowWidget : public QWidget {
  Q_OBJECT
 public:
  MainWindowWidget();
  void startTimer0(UINT id, UINT milliseconds);
  void stopTimer(UINT id);
  void stopAllTimers();
  // Asks the window procedure for the smallest size (WM_GETMINMAXINFO) and keeps the window to it.
  void applyMinimumSize();
  // The window may have come under a pointer that rests (shown, raised, given input back): the program
  // hears of the pointer as of a move, soon, so that the button under it lights up and takes the next click.
  void pointerMayRestHere();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void enterEvent(QEnterEvent* event) override;

 private:
  // Where the window procedure's hit test puts a point of the window (local coordinates).
  LRESULT hitTest(QPoint local);
  void pressed(QMouseEvent* event, LRESULT hit);
  void followPointer(QPoint global);
  void endTracking();
  // A move of the pointer to p (local coordinates) while no drag runs.
  void clientMove(QPoint p);
  void moveToRestingPointer();

  // Dragging or resizing: by the window manager where it takes it over, else by our own pointer tracking.
  enum class Tracking { None, Move, Resize };
  Tracking tracking_ = Tracking::None;
  // Handed to the window manager: while it drags, no pointer event reaches us.
  bool handedToManager_ = false;
  QElapsedTimer handedAt_;
  QPoint trackStartPointer_;
  QRect trackStartGeometry_;
  bool gripCursor_ = false;
  bool restCheckQueued_ = false;

  std::map<UINT, QTimer*> timers_;
};
