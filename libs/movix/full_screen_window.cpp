#include "full_screen_window.h"

#include <QCloseEvent>
#include <QScreen>

#include "window_messages.h"

namespace movix {

FullScreenWindow::FullScreenWindow(QScreen* screen, std::function<void()> closedByUser)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint),
      closedByUser_(std::move(closedByUser)) {
  setObjectName(captivo::kFullScreenWindowName);
  setAttribute(Qt::WA_DeleteOnClose);
  setFocusPolicy(Qt::StrongFocus);
  QPalette black = palette();
  black.setColor(QPalette::Window, Qt::black);
  setPalette(black);
  setAutoFillBackground(true);
  // The screen's geometry first: without a window manager the full-screen state alone
  // would not cover it.
  setScreen(screen);
  setGeometry(screen->geometry());
}

void FullScreenWindow::SetPicture(QWidget* picture) {
  picture_ = picture;
  picture->setParent(this);
  picture->setGeometry(rect());
  picture->lower();
  picture->show();
}

void FullScreenWindow::CloseQuietly() {
  quiet_ = true;
  close();
}

void FullScreenWindow::closeEvent(QCloseEvent* event) {
  for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (child == picture_) continue;
    child->hide();
    child->setParent(nullptr);
  }
  if (!quiet_ && closedByUser_) closedByUser_();
  QWidget::closeEvent(event);
}

void FullScreenWindow::mouseDoubleClickEvent(QMouseEvent*) {
  close();
}

void FullScreenWindow::resizeEvent(QResizeEvent* event) {
  if (picture_) picture_->setGeometry(rect());
  QWidget::resizeEvent(event);
}

}  // namespace movix
