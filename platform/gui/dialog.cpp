// Dialogs as their procedures see them: templates from the module, controls addressed by id.
#include "platform/gui/dialog.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QEventLoop>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "platform/core/completion.h"
#include "platform/core/diagnostics.h"
#include "platform/core/dialog_template.h"
#include "platform/core/text_decode.h"
#include "platform/gui/application.h"
#include "platform/gui/dialog_registry.h"
#include "platform/gui/dialog_widget.h"
#include "platform/gui/gui_thread.h"
#include "platform/gui/picture_controls.h"
#include "platform/gui/window.h"

namespace {

constexpr int kOtherThreadWaitMs = 2000;

// Runs fn on the window thread and gives its result; from another thread waits for it (bounded), and a
// call that did not run in time answers fallback.
template <typename Result, typename Fn>
Result OnWindowThread(Result fallback, Fn fn) {
  if (IsGuiThread()) return fn();
  auto result = std::make_shared<Completion<Result>>();
  const bool ran = RunOnGuiThreadAndWait([result, fn] { result->Complete(fn()); }, kOtherThreadWaitMs);
  return ran && result->Done() ? result->Value() : fallback;
}

bool LoadTemplate(HINSTANCE module, int resource, DialogTemplate* out) {
  const ResourceEntry* entry = FindResource(module, resource);
  if (entry == nullptr) {
    Diag(DiagLevel::Error, "dialog template %d: not in the module", resource);
    return false;
  }
  std::string error;
  if (!ParseDialogTemplate(std::string_view(reinterpret_cast<const char*>(entry->data), entry->size), out,
                           &error)) {
    Diag(DiagLevel::Error, "dialog template %d: %s", resource, error.c_str());
    return false;
  }
  return true;
}

// The program's texts are bytes: UTF-8 when they are, else Latin-1, as the painting reads them.
QString Text(const char* text) {
  const std::string utf8 =
      text != nullptr ? BytesToUtf8(text, static_cast<int>(std::strlen(text))) : std::string();
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// An edit field remembers the bytes the program put in it: while its text is still what they showed,
// they are what the program reads back, so a value in another encoding survives a dialog untouched.
constexpr const char* kSetBytes = "kestrovaSetBytes";
constexpr const char* kSetText = "kestrovaSetText";

QWidget* ControlWidget(HWND hwndDlg, int id, ControlKind* kind) {
  DialogWidget* dialog = FindOpenDialog(hwndDlg);
  if (dialog == nullptr) return nullptr;
  const DialogWidget::Control* control = dialog->control(id);
  if (control == nullptr) return nullptr;
  *kind = control->kind;
  return control->widget;
}

QString ControlText(QWidget* widget, ControlKind kind) {
  switch (kind) {
    case ControlKind::Label:
    case ControlKind::Icon: return static_cast<QLabel*>(widget)->text();
    case ControlKind::Button:
    case ControlKind::CheckBox: return static_cast<QAbstractButton*>(widget)->text();
    case ControlKind::Edit: return static_cast<QLineEdit*>(widget)->text();
    case ControlKind::DropDown: return static_cast<QComboBox*>(widget)->currentText();
    case ControlKind::GroupBox: return static_cast<QGroupBox*>(widget)->title();
    default: return {};
  }
}

bool SetControlText(QWidget* widget, ControlKind kind, const QString& text) {
  switch (kind) {
    case ControlKind::Label: static_cast<QLabel*>(widget)->setText(text); return true;
    case ControlKind::Button:
    case ControlKind::CheckBox: static_cast<QAbstractButton*>(widget)->setText(text); return true;
    case ControlKind::Edit: static_cast<QLineEdit*>(widget)->setText(text); return true;
    case ControlKind::GroupBox: static_cast<QGroupBox*>(widget)->setTitle(text); return true;
    default: return false;
  }
}

// Copies at most size - 1 bytes and a terminating zero, never cutting a character in two; returns the
// count copied.
UINT CopyOut(const QByteArray& bytes, char* out, int size, bool utf8 = true) {
  if (out == nullptr || size <= 0) return 0;
  std::size_t n = std::min<std::size_t>(bytes.size(), static_cast<std::size_t>(size - 1));
  if (utf8 && n < static_cast<std::size_t>(bytes.size()))
    while (n > 0 && (static_cast<unsigned char>(bytes[static_cast<qsizetype>(n)]) & 0xC0) == 0x80) --n;
  std::memcpy(out, bytes.constData(), n);
  out[n] = '\0';
  return static_cast<UINT>(n);
}

LRESULT ComboMessage(QComboBox* list, UINT message, WPARAM wParam, LPARAM lParam) {
  const int index = static_cast<int>(wParam);
  switch (message) {
    case CB_ADDSTRING: {
      if (lParam == 0) return CB_ERR;
      const QString item = Text(reinterpret_cast<const char*>(lParam));
      int at = list->count();
      if (list->property("sorted").toBool()) {
        at = 0;
        while (at < list->count() && list->itemText(at).compare(item, Qt::CaseInsensitive) <= 0) ++at;
      }
      list->insertItem(at, item);
      return at;
    }
    case CB_RESETCONTENT: list->clear(); return 0;
    case CB_GETCOUNT: return list->count();
    case CB_SETCURSEL:
      if (index < 0 || index >= list->count()) {
        list->setCurrentIndex(-1);
        return CB_ERR;
      }
      list->setCurrentIndex(index);
      return index;
    case CB_GETCURSEL: return list->currentIndex() >= 0 ? list->currentIndex() : CB_ERR;
    case CB_GETLBTEXTLEN:
      if (index < 0 || index >= list->count()) return CB_ERR;
      return list->itemText(index).toLocal8Bit().size();
    case CB_GETLBTEXT: {
      if (index < 0 || index >= list->count() || lParam == 0) return CB_ERR;
      const QByteArray bytes = list->itemText(index).toLocal8Bit();
      std::memcpy(reinterpret_cast<char*>(lParam), bytes.constData(), bytes.size() + 1);
      return bytes.size();
    }
    case CB_SETDROPPEDWIDTH: list->view()->setMinimumWidth(index); return index;
    default: return 0;
  }
}

LRESULT ControlMessage(HWND hwndDlg, int id, UINT message, WPARAM wParam, LPARAM lParam) {
  ControlKind kind;
  QWidget* widget = ControlWidget(hwndDlg, id, &kind);
  if (widget == nullptr) return 0;
  switch (kind) {
    case ControlKind::Edit: {
      auto* edit = static_cast<QLineEdit*>(widget);
      if (message == EM_REPLACESEL) {
        if (lParam != 0) edit->insert(Text(reinterpret_cast<const char*>(lParam)));
        return 0;
      }
      if (message == EM_SETREADONLY) {
        edit->setReadOnly(wParam != 0);
        return TRUE;
      }
      return 0;
    }
    case ControlKind::CheckBox: {
      auto* box = static_cast<QCheckBox*>(widget);
      if (message == BM_GETCHECK) return box->isChecked() ? BST_CHECKED : BST_UNCHECKED;
      if (message == BM_SETCHECK) box->setChecked(wParam == BST_CHECKED);
      return 0;
    }
    case ControlKind::DropDown: return ComboMessage(static_cast<QComboBox*>(widget), message, wParam, lParam);
    case ControlKind::PictureList: return PictureListMessage(widget, message, wParam, lParam);
    case ControlKind::Picture: return PictureMessage(widget, message, wParam, lParam);
    default: return 0;
  }
}

}  // namespace

bool IsDialogHandle(HWND hwnd) { return hwnd >= kFirstDialogHandle && hwnd < HWND_BROADCAST; }

HWND CreateDialogParamA(HINSTANCE module, int resource, HWND owner, DLGPROC proc, LPARAM param) {
  DialogTemplate dialogTemplate;
  if (!LoadTemplate(module, resource, &dialogTemplate)) return 0;
  return OpenModelessDialog(dialogTemplate, resource, module, owner, proc, param);
}

LRESULT DialogBoxParamA(HINSTANCE module, int resource, HWND owner, DLGPROC proc, LPARAM param) {
  DialogTemplate dialogTemplate;
  if (!LoadTemplate(module, resource, &dialogTemplate)) return -1;
  return RunModalDialog(dialogTemplate, resource, module, owner, proc, param);
}

BOOL EndDialog(HWND hwndDlg, LRESULT result) {
  return OnWindowThread<BOOL>(FALSE, [hwndDlg, result]() -> BOOL {
    DialogWidget* dialog = FindOpenDialog(hwndDlg);
    if (dialog == nullptr || dialog->ended) return FALSE;
    dialog->ended = true;
    dialog->result = result;
    dialog->hide();
    if (dialog->modal) {
      if (dialog->loop != nullptr) dialog->loop->exit();
    } else {
      ForgetDialog(hwndDlg);
      dialog->destroyWhenIdle();
    }
    return TRUE;
  });
}

BOOL IsDialogOpen(HWND hwndDlg) {
  return OnWindowThread<BOOL>(FALSE, [hwndDlg]() -> BOOL {
    DialogWidget* dialog = FindOpenDialog(hwndDlg);
    return dialog != nullptr && !dialog->ended;
  });
}

BOOL SetDlgItemTextA(HWND hwndDlg, int id, const char* text) {
  const QString value = Text(text);
  const QByteArray bytes(text != nullptr ? text : "");
  return OnWindowThread<BOOL>(FALSE, [hwndDlg, id, value, bytes]() -> BOOL {
    ControlKind kind;
    QWidget* widget = ControlWidget(hwndDlg, id, &kind);
    if (widget == nullptr || !SetControlText(widget, kind, value)) return FALSE;
    if (kind == ControlKind::Edit) {
      widget->setProperty(kSetBytes, bytes);
      // What the bytes showed before the field dropped its line breaks: a field that dropped some reads as
      // shown.
      widget->setProperty(kSetText, value);
    }
    return TRUE;
  });
}

UINT GetDlgItemTextA(HWND hwndDlg, int id, char* text, int max) {
  if (text != nullptr && max > 0) text[0] = '\0';
  struct Read {
    QByteArray bytes;
    bool asSet = false;
  };
  const Read value = OnWindowThread<Read>(Read{}, [hwndDlg, id]() -> Read {
    ControlKind kind;
    QWidget* widget = ControlWidget(hwndDlg, id, &kind);
    if (widget == nullptr) return {};
    const QString shown = ControlText(widget, kind);
    if (kind == ControlKind::Edit && widget->property(kSetText).toString() == shown &&
        widget->property(kSetBytes).isValid())
      return {widget->property(kSetBytes).toByteArray(), true};
    return {shown.toUtf8(), false};
  });
  return CopyOut(value.bytes, text, max, !value.asSet);
}

LRESULT SendDlgItemMessageA(HWND hwndDlg, int id, UINT message, WPARAM wParam, LPARAM lParam) {
  if (IsGuiThread()) return ControlMessage(hwndDlg, id, message, wParam, lParam);
  // Another thread's call may outlive its wait: texts go as copies, and no answer is written into
  // the caller's memory.
  if (message == CB_GETLBTEXT) {
    Diag(DiagLevel::Warning, "CB_GETLBTEXT off the window thread: refused");
    return CB_ERR;
  }
  // Their records and paths live in the caller's memory, which a call that outlives its wait leaves.
  if (message == LVM_INSERTITEMA || message == STM_SETIMAGE) {
    Diag(DiagLevel::Warning, "message 0x%x off the window thread: refused", message);
    return 0;
  }
  std::string copy;
  if ((message == EM_REPLACESEL || message == CB_ADDSTRING) && lParam != 0)
    copy = reinterpret_cast<const char*>(lParam);
  const bool hasText = lParam != 0;
  return OnWindowThread<LRESULT>(0, [=]() -> LRESULT {
    const LPARAM param = hasText && (message == EM_REPLACESEL || message == CB_ADDSTRING)
                             ? reinterpret_cast<LPARAM>(copy.c_str())
                             : lParam;
    return ControlMessage(hwndDlg, id, message, wParam, param);
  });
}

UINT IsDlgButtonChecked(HWND hwndDlg, int id) {
  return static_cast<UINT>(SendDlgItemMessageA(hwndDlg, id, BM_GETCHECK, 0, 0));
}

BOOL CheckDlgButton(HWND hwndDlg, int id, UINT check) {
  SendDlgItemMessageA(hwndDlg, id, BM_SETCHECK, check, 0);
  return TRUE;
}

BOOL EnableDlgItem(HWND hwndDlg, int id, BOOL enable) {
  return OnWindowThread<BOOL>(FALSE, [hwndDlg, id, enable]() -> BOOL {
    ControlKind kind;
    QWidget* widget = ControlWidget(hwndDlg, id, &kind);
    if (widget == nullptr) return FALSE;
    const BOOL wasDisabled = !widget->isEnabled();
    widget->setEnabled(enable != FALSE);
    return wasDisabled;
  });
}

BOOL SetWindowTextA(HWND hwndDlg, const char* text) {
  if (!IsDialogHandle(hwndDlg)) return SetWindowText(hwndDlg, text);
  const QString value = Text(text);
  return OnWindowThread<BOOL>(FALSE, [hwndDlg, value]() -> BOOL {
    DialogWidget* dialog = FindOpenDialog(hwndDlg);
    if (dialog == nullptr) return FALSE;
    dialog->setWindowTitle(value);
    return TRUE;
  });
}

HWND FindWindowExA(HWND parent, HWND after, const char* className, const char* windowName) {
  if (parent != 0 || (className != nullptr && std::strcmp(className, kDialogClass) != 0)) return 0;
  const std::vector<HWND> open = OpenDialogHandles();
  auto it = open.begin();
  if (after != 0) {
    it = std::find(open.begin(), open.end(), after);
    if (it == open.end()) return 0;
    ++it;
  }
  for (; it != open.end(); ++it) {
    DialogWidget* dialog = FindOpenDialog(*it);
    if (dialog == nullptr || dialog->ended) continue;
    if (windowName == nullptr || dialog->windowTitle() == Text(windowName)) return *it;
  }
  return 0;
}
