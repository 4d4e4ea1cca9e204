// Driving dialogs as a person would: key events and clicks delivered through the toolkit.
#include "platform/gui/dialog_driver.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "platform/gui/dialog_registry.h"
#include "platform/gui/dialog_widget.h"
#include "platform/gui/main_window_widget.h"
#include "platform/gui/window_record.h"

namespace dialog_driver {

namespace {

std::string Narrow(const QString& text) { return text.toLocal8Bit().toStdString(); }

const DialogWidget::Control* Find(HWND dialog, int id) {
  DialogWidget* widget = FindOpenDialog(dialog);
  if (widget == nullptr || widget->ended) return nullptr;
  return widget->control(id);
}

void SendKey(QWidget* target, int key, const QString& text) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  QApplication::sendEvent(target, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
  QApplication::sendEvent(target, &release);
}

ControlView ViewOf(const DialogWidget::Control& c) {
  ControlView v;
  v.id = c.id;
  v.kind = c.kind;
  const QRect r = c.widget->geometry();
  v.x = r.x();
  v.y = r.y();
  v.width = r.width();
  v.height = r.height();
  v.enabled = c.widget->isEnabled();
  v.visible = c.widget->isVisibleTo(c.widget->parentWidget());
  if (auto* label = qobject_cast<QLabel*>(c.widget)) v.text = Narrow(label->text());
  if (auto* button = qobject_cast<QAbstractButton*>(c.widget)) {
    v.text = Narrow(button->text());
    v.checked = button->isChecked();
  }
  if (auto* push = qobject_cast<QPushButton*>(c.widget)) v.isDefault = push->isDefault();
  if (auto* edit = qobject_cast<QLineEdit*>(c.widget)) {
    v.text = Narrow(edit->text());
    v.readOnly = edit->isReadOnly();
    v.password = edit->echoMode() == QLineEdit::Password;
  }
  if (auto* list = qobject_cast<QComboBox*>(c.widget)) {
    v.text = Narrow(list->currentText());
    v.currentIndex = list->currentIndex();
    for (int i = 0; i < list->count(); ++i) v.items.push_back(Narrow(list->itemText(i)));
  }
  if (auto* group = qobject_cast<QGroupBox*>(c.widget)) v.text = Narrow(group->title());
  return v;
}

}  // namespace

std::vector<HWND> OpenDialogs() {
  std::vector<HWND> open;
  for (HWND handle : OpenDialogHandles()) {
    DialogWidget* widget = FindOpenDialog(handle);
    if (widget != nullptr && !widget->ended) open.push_back(handle);
  }
  return open;
}

HWND FindDialog(int resource) {
  HWND found = 0;
  for (HWND handle : OpenDialogs())
    if (FindOpenDialog(handle)->resource() == resource) found = handle;
  return found;
}

bool Describe(HWND dialog, DialogView* view) {
  DialogWidget* widget = FindOpenDialog(dialog);
  if (widget == nullptr || widget->ended || view == nullptr) return false;
  DialogView v;
  v.handle = dialog;
  v.resource = widget->resource();
  v.caption = Narrow(widget->windowTitle());
  v.modal = widget->modal;
  v.visible = widget->isVisible();
  v.onTop = widget->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
  v.hasIcon = !widget->windowIcon().isNull();
  v.iconKey = widget->windowIcon().cacheKey();
  const QRect r = widget->geometry();
  v.x = r.x();
  v.y = r.y();
  v.width = r.width();
  v.height = r.height();
  v.baseUnitX = widget->baseUnits().x;
  v.baseUnitY = widget->baseUnits().y;
  for (const DialogWidget::Control& c : widget->controls()) v.controls.push_back(ViewOf(c));
  *view = std::move(v);
  return true;
}

std::string ControlText(HWND dialog, int id) {
  DialogView view;
  if (!Describe(dialog, &view)) return {};
  for (const ControlView& c : view.controls)
    if (c.id == id) return c.text;
  return {};
}

bool Type(HWND dialog, int id, const std::string& text) {
  const DialogWidget::Control* c = Find(dialog, id);
  if (c == nullptr || c->kind != ControlKind::Edit) return false;
  const QString typed = QString::fromLocal8Bit(text.c_str());
  for (QChar ch : typed) SendKey(c->widget, 0, QString(ch));
  return true;
}

bool Click(HWND dialog, int id) {
  const DialogWidget::Control* c = Find(dialog, id);
  if (c == nullptr || (c->kind != ControlKind::Button && c->kind != ControlKind::CheckBox)) return false;
  static_cast<QAbstractButton*>(c->widget)->click();
  return true;
}

bool Choose(HWND dialog, int id, int index) {
  const DialogWidget::Control* c = Find(dialog, id);
  if (c == nullptr || c->kind != ControlKind::DropDown) return false;
  auto* list = static_cast<QComboBox*>(c->widget);
  if (index < 0 || index >= list->count() || !list->isEnabled()) return false;
  list->setCurrentIndex(index);
  emit list->activated(index);
  return true;
}

bool Press(HWND dialog, Key key) {
  DialogWidget* widget = FindOpenDialog(dialog);
  if (widget == nullptr || widget->ended) return false;
  QWidget* target = widget->focusWidget() != nullptr ? widget->focusWidget() : widget;
  switch (key) {
    case Key::Enter: SendKey(target, Qt::Key_Return, QStringLiteral("\r")); break;
    case Key::Escape: SendKey(target, Qt::Key_Escape, QStringLiteral("\x1b")); break;
    case Key::Space: SendKey(target, Qt::Key_Space, QStringLiteral(" ")); break;
  }
  return true;
}

bool CloseBox(HWND dialog) {
  DialogWidget* widget = FindOpenDialog(dialog);
  if (widget == nullptr || widget->ended) return false;
  widget->close();
  return true;
}

bool MainWindowTakesInput() {
  MainWindowWidget* widget = TheWindow().widget;
  return widget != nullptr && widget->isEnabled();
}

void OnDialogOpened(std::function<void(HWND)> hook) { SetDialogOpenedHook(std::move(hook)); }

}  // namespace dialog_driver
