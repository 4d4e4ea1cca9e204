// Message boxes: a small dialog made by the program around the text, run modally like any other dialog
// (so tests drive it alike).
#include <QFontMetrics>
#include <cmath>
#include <memory>
#include <string>

#include "platform/core/completion.h"
#include "platform/core/diagnostics.h"
#include "platform/gui/application.h"
#include "platform/gui/dialog.h"
#include "platform/gui/dialog_registry.h"
#include "platform/gui/dialog_units.h"
#include "platform/gui/dialog_widget.h"
#include "platform/gui/gui_thread.h"

namespace {

constexpr int kTextId = kMessageBoxTextId;
constexpr int kMargin = 7;  // dialog units
constexpr int kIconSize = 21;
constexpr int kButtonWidth = 50, kButtonHeight = 14, kButtonGap = 4;
constexpr int kWidestTextPixels = 360;

const char* IconName(UINT type) {
  switch (type & 0xF0) {
    case MB_ICONERROR: return "error";
    case MB_ICONQUESTION: return "question";
    case MB_ICONEXCLAMATION: return "exclamation";
    case MB_ICONINFORMATION: return "information";
    default: return nullptr;
  }
}

int CeilDiv(int a, int b) { return (a + b - 1) / b; }

DialogTemplate BoxTemplate(const std::string& text, const std::string& caption, UINT type) {
  DialogTemplate t;
  t.caption = caption;
  t.style = DS_SYSMODAL | DS_MODALFRAME | WS_CAPTION | WS_SYSMENU | WS_VISIBLE;
  t.fontName = "Arial";
  t.fontPoints = 8;
  const QFont font = DialogFont(t.fontName.c_str(), t.fontPoints);
  const DialogBaseUnits base = BaseUnitsOf(font);
  const QRect bounds = QFontMetrics(font).boundingRect(
      QRect(0, 0, kWidestTextPixels, 100000), Qt::TextWordWrap, QString::fromLocal8Bit(text.c_str()));
  const int textWidth = CeilDiv(bounds.width() * 4, std::max(base.x, 1)) + 2;
  const int textHeight = CeilDiv(bounds.height() * 8, std::max(base.y, 1));
  const char* icon = IconName(type);
  const int textX = kMargin + (icon != nullptr ? kIconSize + kMargin : 0);
  const int bodyHeight = std::max(textHeight, icon != nullptr ? kIconSize : 0);
  const bool withCancel = (type & 0xF) == MB_OKCANCEL;
  const bool yesNo = (type & 0xF) == MB_YESNO;
  const int buttons = withCancel || yesNo ? 2 : 1;
  const int buttonsWidth = buttons * kButtonWidth + (buttons - 1) * kButtonGap;
  t.cx = std::max(textX + textWidth + kMargin, buttonsWidth + 2 * kMargin);
  t.cy = kMargin + bodyHeight + kMargin + kButtonHeight + kMargin;
  t.x = 20;
  t.y = 20;
  if (icon != nullptr)
    t.controls.push_back({ControlKind::Icon, kNoControlId, icon, kMargin, kMargin, kIconSize, kIconSize, 0});
  t.controls.push_back({ControlKind::Label, kTextId, text, textX, kMargin, textWidth, textHeight, 0});
  const int buttonY = kMargin + bodyHeight + kMargin;
  int buttonX = (t.cx - buttonsWidth) / 2;
  t.controls.push_back({ControlKind::Button, yesNo ? IDYES : IDOK, yesNo ? "Yes" : "OK", buttonX, buttonY,
                        kButtonWidth, kButtonHeight, BS_DEFPUSHBUTTON});
  if (withCancel || yesNo) {
    buttonX += kButtonWidth + kButtonGap;
    t.controls.push_back({ControlKind::Button, yesNo ? IDNO : IDCANCEL, yesNo ? "No" : "Cancel", buttonX,
                          buttonY, kButtonWidth, kButtonHeight, 0});
  }
  return t;
}

LRESULT MessageBoxProc(HWND hwndDlg, UINT message, WPARAM wParam, LPARAM) {
  if (message != WM_COMMAND) return FALSE;
  int id = LOWORD(wParam);
  // Escape and the close box answer No in a box that asks, OK in a box that has no Cancel.
  if (id == IDCANCEL) {
    DialogWidget* dialog = FindOpenDialog(hwndDlg);
    if (dialog != nullptr && dialog->control(IDNO) != nullptr)
      id = IDNO;
    else if (dialog != nullptr && dialog->control(IDCANCEL) == nullptr)
      id = IDOK;
  }
  if (id == IDOK || id == IDCANCEL || id == IDYES || id == IDNO) EndDialog(hwndDlg, id);
  return FALSE;
}

}  // namespace

int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type) {
  const std::string body = text != nullptr ? text : "";
  const std::string title = caption != nullptr ? caption : "Error";
  if (!IsGuiThread()) {
    // A box waits for a person: the caller waits as long as the box is open.
    auto done = std::make_shared<Completion<int>>();
    QueueOnGuiThread([done, owner, body, title, type] {
      done->Complete(MessageBoxA(owner, body.c_str(), title.c_str(), type));
    });
    while (!done->WaitFor(std::chrono::seconds(1))) {
    }
    return done->Value();
  }
  Diag((type & 0xF0) == MB_ICONERROR ? DiagLevel::Error : DiagLevel::Info, "%s: %s", title.c_str(),
       body.c_str());
  const LRESULT result = RunModalDialog(BoxTemplate(body, title, type), 0, nullptr, owner, MessageBoxProc, 0);
  if ((type & 0xF) == MB_YESNO) return result == IDYES ? IDYES : IDNO;
  return result == IDCANCEL ? IDCANCEL : IDOK;
}
