#include "server_window_size.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QWidget>
#include <cstdlib>
#include <memory>

namespace captivo {

std::optional<QSize> ServerWindowSize(const QWidget& window) {
  // Other platforms may answer for X11 too (the offscreen one does) without a server.
  if (QGuiApplication::platformName() != "xcb" || !window.windowHandle()) return std::nullopt;
  const auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
  xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
  if (!connection) return std::nullopt;
  const auto cookie = xcb_get_geometry(connection, static_cast<xcb_drawable_t>(window.winId()));
  const std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)> reply(
      xcb_get_geometry_reply(connection, cookie, nullptr), &std::free);
  if (!reply) return std::nullopt;
  return QSize(reply->width, reply->height) / window.devicePixelRatio();
}

}  // namespace captivo
