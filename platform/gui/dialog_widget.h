// One open dialog on the screen: its window and controls built from a template, its keys and close box
// turned into commands for its procedure.
#pragma once

#include <QPointer>
#include <QWidget>
#include <vector>

#include "platform/core/dialog_template.h"
#include "platform/gui/dialog.h"
#include "platform/gui/dialog_units.h"

class QEventLoop;

class DialogWidget : public QWidget {
  Q_OBJECT
 public:
  struct Control {
    int id;
    ControlKind kind;
    QWidget* widget;
  };

  // Builds the window and its controls (not yet shown); origin is where dialog unit (0, 0) lies on the
  // screen.
  DialogWidget(HWND handle, int resource, const DialogTemplate& dialogTemplate, const QIcon& icon,
               QPoint origin, DLGPROC proc);

  HWND handle() const { return handle_; }
  int resource() const { return resource_; }
  DialogBaseUnits baseUnits() const { return base_; }
  const std::vector<Control>& controls() const { return controls_; }
  // The first control with this id (as in the template), or nullptr.
  const Control* control(int id) const;
  // The id that Enter gives when no push button has the focus.
  int defaultId() const;

  // Calls the procedure; returns its result.
  LRESULT send(UINT message, WPARAM wParam, LPARAM lParam);
  // WM_COMMAND for this control and notification.
  void command(int id, UINT notification);

  // Ending: a modal dialog leaves its loop, a modeless one is destroyed once no call of its
  // procedure is under way.
  bool modal = false;
  bool ended = false;
  LRESULT result = 0;
  QEventLoop* loop = nullptr;
  void destroyWhenIdle();
  // The window it belongs to and stays above: the main window or another dialog; null for none.
  QPointer<QWidget> owner;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  QWidget* makeControl(const DialogControl& control);

  HWND handle_;
  int resource_;
  DLGPROC proc_;
  DialogBaseUnits base_;
  std::vector<Control> controls_;
  int busy_ = 0;  // calls of the procedure under way
  bool destroyPending_ = false;
};
