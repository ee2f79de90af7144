#pragma once

#include <QSize>
#include <optional>

class QWidget;

namespace captivo {

// The size the X server has for a top-level window, which is not always the one asked
// for: a window manager may ignore a request, while its own resize of the frame runs,
// without a word. Nothing where the window system is not X11.
std::optional<QSize> ServerWindowSize(const QWidget& window);

}  // namespace captivo
