// Asking the X server for a window's geometry.
#include "platform/gui/x11_geometry.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QWidget>
#include <cstdlib>

#include "platform/core/messages.h"

bool QueryServerGeometry(QWidget* widget, RECT* rect) {
  auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
  if (widget == nullptr || x11 == nullptr || QGuiApplication::platformName() != QLatin1String("xcb") ||
      !widget->testAttribute(Qt::WA_WState_Created))
    return false;
  xcb_connection_t* connection = x11->connection();
  if (connection == nullptr) return false;
  const auto window = static_cast<xcb_window_t>(widget->winId());
  xcb_get_geometry_reply_t* geometry =
      xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr);
  if (geometry == nullptr) return false;
  xcb_translate_coordinates_reply_t* origin = xcb_translate_coordinates_reply(
      connection, xcb_translate_coordinates(connection, window, geometry->root, 0, 0), nullptr);
  bool ok = origin != nullptr;
  if (ok) {
    rect->left = origin->dst_x;
    rect->top = origin->dst_y;
    rect->right = origin->dst_x + geometry->width;
    rect->bottom = origin->dst_y + geometry->height;
  }
  std::free(origin);
  std::free(geometry);
  return ok;
}
