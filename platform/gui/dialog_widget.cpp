// One open dialog: controls from the template, placed in dialog units of the template's font.
#include "platform/gui/dialog_widget.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QEventLoop>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStyle>
#include <QTimer>

#include "platform/gui/owned_dialogs.h"
#include "platform/gui/picture_controls.h"

namespace {

QStyle::StandardPixmap StandardIcon(const std::string& name) {
  if (name == "error") return QStyle::SP_MessageBoxCritical;
  if (name == "question") return QStyle::SP_MessageBoxQuestion;
  if (name == "exclamation") return QStyle::SP_MessageBoxWarning;
  return QStyle::SP_MessageBoxInformation;
}

}  // namespace

DialogWidget::DialogWidget(HWND handle, int resource, const DialogTemplate& dialogTemplate, const QIcon& icon,
                           QPoint origin, DLGPROC proc)
    : handle_(handle), resource_(resource), proc_(proc) {
  // Every dialog stays on top: the program's own window does, and a dialog below it could not be seen.
  // A title and a close box at most: no minimise or maximise hint, so a window manager that reads the
  // Motif hints offers neither (a dialog put away would leave its question with nothing on the screen).
  Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowStaysOnTopHint;
  if (dialogTemplate.style & WS_CAPTION) flags |= Qt::WindowTitleHint;
  if (dialogTemplate.style & WS_SYSMENU) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  setWindowFlags(flags);
  setAttribute(Qt::WA_DeleteOnClose, false);
  setWindowTitle(QString::fromLocal8Bit(dialogTemplate.caption.c_str()));
  if (!icon.isNull()) setWindowIcon(icon);
  const QFont font = DialogFont(dialogTemplate.fontName.c_str(), dialogTemplate.fontPoints);
  setFont(font);
  base_ = BaseUnitsOf(font);
  const QRect frame =
      DialogUnitsToPixels(base_, dialogTemplate.x, dialogTemplate.y, dialogTemplate.cx, dialogTemplate.cy);
  // The template places the client area; the frame lies around it.
  setFixedSize(frame.size());
  setGeometry(QRect(origin + frame.topLeft(), frame.size()));
  for (const DialogControl& c : dialogTemplate.controls) {
    QWidget* widget = makeControl(c);
    const QRect r = DialogUnitsToPixels(base_, c.x, c.y, c.cx, c.cy);
    if (c.kind == ControlKind::DropDown) {
      // The template's height is that of the opened list; the closed list is as tall as its font needs.
      widget->setGeometry(r.x(), r.y(), r.width(), std::min(r.height(), widget->sizeHint().height()));
    } else {
      widget->setGeometry(r);
    }
    controls_.push_back({c.id, c.kind, widget});
  }
  // A frame drawn over the controls it surrounds would hide them.
  for (const Control& c : controls_)
    if (c.kind == ControlKind::GroupBox) c.widget->lower();
}

QWidget* DialogWidget::makeControl(const DialogControl& c) {
  const QString text = QString::fromLocal8Bit(c.text.c_str());
  switch (c.kind) {
    case ControlKind::Label: {
      auto* label = new QLabel(text, this);
      label->setTextFormat(Qt::PlainText);
      label->setWordWrap(true);
      label->setAlignment((c.style & SS_CENTER) ? Qt::AlignHCenter | Qt::AlignTop
                                                : Qt::AlignLeft | Qt::AlignTop);
      return label;
    }
    case ControlKind::Icon: {
      auto* label = new QLabel(this);
      const QRect r = DialogUnitsToPixels(base_, c.x, c.y, c.cx, c.cy);
      label->setPixmap(style()->standardIcon(StandardIcon(c.text)).pixmap(std::min(r.width(), r.height())));
      return label;
    }
    case ControlKind::Button: {
      auto* button = new QPushButton(text, this);
      // Enter is ours to turn into a command, not the toolkit's.
      button->setAutoDefault(false);
      button->setDefault(c.style & BS_DEFPUSHBUTTON);
      const int id = c.id;
      connect(button, &QPushButton::clicked, this, [this, id] { command(id, BN_CLICKED); });
      return button;
    }
    case ControlKind::CheckBox: {
      auto* box = new QCheckBox(text, this);
      const int id = c.id;
      connect(box, &QCheckBox::clicked, this, [this, id] { command(id, BN_CLICKED); });
      return box;
    }
    case ControlKind::Edit: {
      auto* edit = new QLineEdit(this);
      edit->setFrame(c.style & WS_BORDER);
      if (c.style & ES_PASSWORD) edit->setEchoMode(QLineEdit::Password);
      if (c.style & ES_READONLY) edit->setReadOnly(true);
      if (c.style & ES_NUMBER)
        edit->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
      // A line break pasted into a one-line field would reach a settings line that cannot hold it.
      connect(edit, &QLineEdit::textChanged, edit, [edit](const QString& text) {
        if (!text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r'))) return;
        const int cursor = edit->cursorPosition();
        const int before = static_cast<int>(text.left(cursor).count(QLatin1Char('\n')) +
                                            text.left(cursor).count(QLatin1Char('\r')));
        QString kept = text;
        kept.remove(QLatin1Char('\n')).remove(QLatin1Char('\r'));
        edit->setText(kept);
        edit->setCursorPosition(cursor - before);
      });
      return edit;
    }
    case ControlKind::DropDown: {
      auto* list = new QComboBox(this);
      list->setEditable(false);
      list->setProperty("sorted", (c.style & CBS_SORT) != 0);
      const int id = c.id;
      // Only the user's choice is announced: a choice made by the program is not.
      connect(list, &QComboBox::activated, this, [this, id] { command(id, CBN_SELCHANGE); });
      return list;
    }
    case ControlKind::GroupBox: return new QGroupBox(text, this);
    case ControlKind::PictureList: {
      const int id = c.id;
      return MakePictureList(this, c.style & WS_BORDER, [this, id] { command(id, LBN_SELCHANGE); });
    }
    case ControlKind::Picture: return MakePicture(this, c.style & WS_BORDER);
    case ControlKind::HLine:
    case ControlKind::VLine: {
      auto* line = new QFrame(this);
      line->setFrameShape(c.kind == ControlKind::HLine ? QFrame::HLine : QFrame::VLine);
      line->setFrameShadow(QFrame::Sunken);
      return line;
    }
  }
  return new QWidget(this);
}

const DialogWidget::Control* DialogWidget::control(int id) const {
  for (const Control& c : controls_)
    if (c.id == id) return &c;
  return nullptr;
}

int DialogWidget::defaultId() const {
  for (const Control& c : controls_)
    if (c.kind == ControlKind::Button && static_cast<QPushButton*>(c.widget)->isDefault()) return c.id;
  return IDOK;
}

LRESULT DialogWidget::send(UINT message, WPARAM wParam, LPARAM lParam) {
  if (proc_ == nullptr) return 0;
  ++busy_;
  const LRESULT answer = proc_(handle_, message, wParam, lParam);
  --busy_;
  if (busy_ == 0 && destroyPending_) deleteLater();
  return answer;
}

void DialogWidget::command(int id, UINT notification) {
  if (ended) return;
  send(WM_COMMAND, static_cast<WPARAM>((id & 0xFFFF) | (notification << 16)), 0);
}

void DialogWidget::destroyWhenIdle() {
  hide();
  destroyPending_ = true;
  if (busy_ == 0) deleteLater();
}

void DialogWidget::keyPressEvent(QKeyEvent* event) {
  if (event->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier)) {
    QWidget::keyPressEvent(event);
    return;
  }
  switch (event->key()) {
    case Qt::Key_Escape: command(IDCANCEL, BN_CLICKED); return;
    case Qt::Key_Return:
    case Qt::Key_Enter: {
      // Enter presses the push button that has the focus, else the default one.
      for (const Control& c : controls_)
        if (c.kind == ControlKind::Button && c.widget == focusWidget()) {
          command(c.id, BN_CLICKED);
          return;
        }
      command(defaultId(), BN_CLICKED);
      return;
    }
    default: QWidget::keyPressEvent(event);
  }
}

void DialogWidget::closeEvent(QCloseEvent* event) {
  // The close box is Cancel; what it does is the procedure's choice.
  event->ignore();
  command(IDCANCEL, BN_CLICKED);
}

void DialogWidget::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  // Not from within the toolkit's own handling of the new state, which is still under way.
  if (event->type() == QEvent::WindowStateChange && isMinimized() && !ended)
    QTimer::singleShot(0, this, [this] { BringBackMinimized(this); });
}
