// Pop-up menus on the toolkit's menu.
#include "platform/gui/popup_menu.h"

#include <QCursor>
#include <QMenu>

struct PopupMenu {
  QMenu menu;
};

HMENU CreatePopupMenu() { return new PopupMenu; }

BOOL AppendMenuA(HMENU menu, UINT flags, UINT id, const char* text) {
  if (menu == nullptr) return FALSE;
  if (flags & MF_SEPARATOR) {
    menu->menu.addSeparator();
    return TRUE;
  }
  QAction* action = menu->menu.addAction(QString::fromUtf8(text != nullptr ? text : ""));
  action->setData(id);
  action->setEnabled((flags & MF_GRAYED) == 0);
  return TRUE;
}

int TrackPopupMenu(HMENU menu, UINT flags, HWND) {
  if (menu == nullptr) return 0;
  // The menu comes where the pointer is: on the tray icon that was clicked.
  const QAction* chosen = menu->menu.exec(QCursor::pos());
  if ((flags & TPM_RETURNCMD) == 0 || chosen == nullptr) return 0;
  return chosen->data().toInt();
}

BOOL DestroyMenu(HMENU menu) {
  delete menu;
  return TRUE;
}
