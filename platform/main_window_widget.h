// The widget behind the main window: turns toolkit events into the window procedure's messages.
#pragma once

#include <QWidget>
#include <map>

#include "platform/types.h"

class QTimer;

class MainWindowWidget : public QWidget {
  Q_OBJECT
 public:
  MainWindowWidget();
  void startTimer0(UINT id, UINT milliseconds);
  void stopTimer(UINT id);
  void stopAllTimers();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  std::map<UINT, QTimer*> timers_;
};
