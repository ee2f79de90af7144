#include "full_screen_window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>

#include "window_messages.h"

namespace movix {

FullScreenWindow::FullScreenWindow(std::function<void()> closedByUser)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint),
      closedByUser_(std::move(closedByUser)) {
  setObjectName(captivo::kFullScreenWindowName);
  setAttribute(Qt::WA_DeleteOnClose);
  setFocusPolicy(Qt::StrongFocus);
  QPalette black = palette();
  black.setColor(QPalette::Window, Qt::black);
  setPalette(black);
  setAutoFillBackground(true);
  // Without a window manager showing full screen alone does not resize: the geometry first.
  setGeometry(QGuiApplication::primaryScreen()->geometry());
}

void FullScreenWindow::CloseQuietly() {
  quiet_ = true;
  close();
}

void FullScreenWindow::closeEvent(QCloseEvent* event) {
  if (!quiet_ && closedByUser_) closedByUser_();
  QWidget::closeEvent(event);
}

void FullScreenWindow::mouseDoubleClickEvent(QMouseEvent*) {
  close();
}

void FullScreenWindow::resizeEvent(QResizeEvent* event) {
  for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    child->setGeometry(rect());
  QWidget::resizeEvent(event);
}

}  // namespace movix
