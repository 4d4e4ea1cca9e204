// WM_TRANSIENT_FOR, sibling restacking and the window manager check, through the toolkit's X connection.
#include "platform/gui/x11_stacking.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <cstdint>
#include <cstdlib>

namespace {

xcb_connection_t* Connection() {
  if (QGuiApplication::platformName() != QLatin1String("xcb")) return nullptr;
  auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
  return x11 != nullptr ? x11->connection() : nullptr;
}

bool HasNativeWindow(const QWidget* widget) {
  return widget != nullptr && widget->testAttribute(Qt::WA_WState_Created);
}

// The window named by a window's _NET_SUPPORTING_WM_CHECK, 0 for none (or no such window).
xcb_window_t SupportingCheck(xcb_connection_t* connection, xcb_atom_t check, xcb_window_t window) {
  // An error for a window that is gone comes back here, not to the toolkit's queue (which would print it).
  xcb_generic_error_t* error = nullptr;
  xcb_get_property_reply_t* reply = xcb_get_property_reply(
      connection, xcb_get_property(connection, 0, window, check, XCB_ATOM_WINDOW, 0, 1), &error);
  std::free(error);
  xcb_window_t named = 0;
  if (reply != nullptr && xcb_get_property_value_length(reply) == sizeof named)
    named = *static_cast<xcb_window_t*>(xcb_get_property_value(reply));
  std::free(reply);
  return named;
}

}  // namespace

void SetTransientFor(QWidget* dialog, QWidget* owner) {
  if (dialog == nullptr) return;
  dialog->winId();
  QWindow* ownerWindow = HasNativeWindow(owner) ? owner->windowHandle() : nullptr;
  // The toolkit writes the property from this whenever it maps the dialog.
  dialog->windowHandle()->setTransientParent(ownerWindow);
  xcb_connection_t* connection = Connection();
  if (connection == nullptr || !dialog->isVisible()) return;
  const auto window = static_cast<xcb_window_t>(dialog->winId());
  if (ownerWindow == nullptr) {
    xcb_delete_property(connection, window, XCB_ATOM_WM_TRANSIENT_FOR);
  } else {
    const auto parent = static_cast<xcb_window_t>(owner->winId());
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW,
                        32, 1, &parent);
  }
  xcb_flush(connection);
}

bool StackBelow(QWidget* window, QWidget* sibling) {
  xcb_connection_t* connection = Connection();
  if (connection == nullptr || !HasNativeWindow(window) || !HasNativeWindow(sibling)) return false;
  const std::uint32_t values[] = {static_cast<std::uint32_t>(sibling->winId()), XCB_STACK_MODE_BELOW};
  xcb_configure_window(connection, static_cast<xcb_window_t>(window->winId()),
                       XCB_CONFIG_WINDOW_SIBLING | XCB_CONFIG_WINDOW_STACK_MODE, values);
  xcb_flush(connection);
  return true;
}

bool WindowManagerRuns() {
  xcb_connection_t* connection = Connection();
  if (connection == nullptr) return false;
  static xcb_atom_t check = XCB_ATOM_NONE;  // asked for on the window thread only
  if (check == XCB_ATOM_NONE) {
    static constexpr char kName[] = "_NET_SUPPORTING_WM_CHECK";
    xcb_intern_atom_reply_t* atom =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, sizeof kName - 1, kName), nullptr);
    if (atom != nullptr) check = atom->atom;
    std::free(atom);
    if (check == XCB_ATOM_NONE) return false;
  }
  // A manager that died leaves the root's property behind, naming a window that is gone.
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
  const xcb_window_t manager = SupportingCheck(connection, check, root);
  return manager != 0 && SupportingCheck(connection, check, manager) == manager;
}
