// The open dialogs: made from templates, numbered, shown, and run in a loop of their own when modal.
#include "platform/gui/dialog_registry.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QPointer>
#include <map>

#include "platform/core/diagnostics.h"
#include "platform/gui/application.h"
#include "platform/gui/dialog_widget.h"
#include "platform/gui/gui_thread.h"
#include "platform/gui/main_window_widget.h"
#include "platform/gui/owned_dialogs.h"
#include "platform/gui/resource_icon.h"
#include "platform/gui/window_record.h"

namespace {

constexpr int kIconId = 101;

// Window thread only.
std::map<HWND, QPointer<DialogWidget>> g_open;
HWND g_nextHandle = kFirstDialogHandle;
std::function<void(HWND)> g_openedHook;
int g_ownerBlocks = 0;

HWND NextHandle() {
  HWND handle = g_nextHandle;
  g_nextHandle = g_nextHandle + 1 >= HWND_BROADCAST ? kFirstDialogHandle : g_nextHandle + 1;
  return handle;
}

// While a modal dialog runs, its owner takes no input: the main window is disabled (and enabled again
// when the last modal dialog over it ends).
void BlockOwner(HWND owner, bool block) {
  if (!IsOurWindow(owner)) return;
  g_ownerBlocks += block ? 1 : -1;
  if (MainWindowWidget* widget = TheWindow().widget) widget->setEnabled(g_ownerBlocks == 0);
}

DialogWidget* Make(const DialogTemplate& dialogTemplate, int resource, HINSTANCE iconModule, HWND owner,
                   DLGPROC proc) {
  if (!IsGuiThread()) {
    Diag(DiagLevel::Error, "dialog %d asked for off the window thread: not made", resource);
    return nullptr;
  }
  QIcon icon = IconFromResource(iconModule, kIconId);
  if (icon.isNull()) icon = TheWindow().windowClass.icon;
  // Dialog units count from the owner's top-left corner.
  QPoint origin;
  if (IsOurWindow(owner)) origin = QPoint(TheWindow().x, TheWindow().y);
  auto* widget = new DialogWidget(NextHandle(), resource, dialogTemplate, icon, origin, proc);
  if (IsOurWindow(owner))
    widget->owner = TheWindow().widget.data();
  else if (IsDialogHandle(owner))
    widget->owner = FindOpenDialog(owner);
  g_open[widget->handle()] = widget;
  return widget;
}

}  // namespace

void ForgetDialog(HWND hwnd) { g_open.erase(hwnd); }

namespace {

void Show(DialogWidget* widget) {
  AttachToOwner(widget);
  widget->show();
  // Without a window manager a dialog gets keys only when raised and activated by itself (the
  // offscreen platform of the tests has neither to do).
  if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
    widget->raise();
    widget->activateWindow();
  }
  const HWND handle = widget->handle();
  QueueOnGuiThread([handle] {
    if (g_openedHook && FindOpenDialog(handle) != nullptr) g_openedHook(handle);
  });
}

}  // namespace

DialogWidget* FindOpenDialog(HWND hwnd) {
  auto it = g_open.find(hwnd);
  if (it == g_open.end()) return nullptr;
  if (it->second.isNull()) {
    g_open.erase(it);
    return nullptr;
  }
  return it->second.data();
}

std::vector<HWND> OpenDialogHandles() {
  std::vector<HWND> handles;
  for (const auto& [handle, widget] : g_open)
    if (!widget.isNull()) handles.push_back(handle);
  return handles;
}

void SetDialogOpenedHook(std::function<void(HWND)> hook) { g_openedHook = std::move(hook); }

HWND OpenModelessDialog(const DialogTemplate& dialogTemplate, int resource, HINSTANCE iconModule, HWND owner,
                        DLGPROC proc, LPARAM param) {
  DialogWidget* widget = Make(dialogTemplate, resource, iconModule, owner, proc);
  if (widget == nullptr) return 0;
  const HWND handle = widget->handle();
  QPointer<DialogWidget> alive(widget);
  widget->send(WM_INITDIALOG, 0, param);
  // The procedure may have ended its dialog while it opened.
  if (alive.isNull() || FindOpenDialog(handle) == nullptr) return handle;
  if (dialogTemplate.style & WS_VISIBLE) Show(widget);
  return handle;
}

LRESULT RunModalDialog(const DialogTemplate& dialogTemplate, int resource, HINSTANCE iconModule, HWND owner,
                       DLGPROC proc, LPARAM param) {
  DialogWidget* widget = Make(dialogTemplate, resource, iconModule, owner, proc);
  if (widget == nullptr) return -1;
  QPointer<DialogWidget> alive(widget);
  widget->modal = true;
  BlockOwner(owner, true);
  widget->send(WM_INITDIALOG, 0, param);
  if (!alive.isNull() && !widget->ended) {
    Show(widget);
    // The dialog's own loop serves everything the message loop would: sent messages, other threads'
    // calls, timers, posted messages and the other windows' painting.
    QEventLoop loop;
    widget->loop = &loop;
    loop.exec();
    if (!alive.isNull()) widget->loop = nullptr;
  }
  BlockOwner(owner, false);
  if (alive.isNull()) return -1;
  const LRESULT result = widget->result;
  ForgetDialog(widget->handle());
  widget->destroyWhenIdle();
  return result;
}

bool RaiseDialog(HWND hwnd) {
  DialogWidget* widget = FindOpenDialog(hwnd);
  if (widget == nullptr || widget->ended) return false;
  if (widget->isMinimized()) widget->showNormal();
  widget->show();
  widget->raise();
  widget->activateWindow();
  return true;
}
