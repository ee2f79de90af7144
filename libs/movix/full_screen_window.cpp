#include "full_screen_window.h"

#include <QChildEvent>
#include <QCloseEvent>
#include <QScreen>

#include "window_messages.h"

namespace movix {

namespace {

QList<QWidget*> AndEverythingInside(QWidget* widget) {
  QList<QWidget*> widgets = widget->findChildren<QWidget*>();
  widgets.prepend(widget);
  return widgets;
}

}  // namespace

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
  cursorHideTimer_.setSingleShot(true);
  connect(&cursorHideTimer_, &QTimer::timeout, this, [this] { setCursor(Qt::BlankCursor); });
  WatchMouseOver(this);
  ShowCursorAwhile();
}

void FullScreenWindow::WatchMouseOver(QWidget* widget) {
  // Moves without a button reach only widgets that track the mouse. The widgets keep no
  // cursor of their own: they show the window's.
  for (QWidget* each : AndEverythingInside(widget)) {
    each->setMouseTracking(true);
    each->installEventFilter(this);
  }
}

void FullScreenWindow::ShowCursorAwhile() {
  unsetCursor();
  cursorHideTimer_.start(kCursorHideDelayMs);
}

bool FullScreenWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseMove) {
    ShowCursorAwhile();
  } else if (event->type() == QEvent::ChildAdded) {
    QObject* child = static_cast<QChildEvent*>(event)->child();
    if (child->isWidgetType()) WatchMouseOver(static_cast<QWidget*>(child));
  }
  return QWidget::eventFilter(watched, event);
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
    for (QWidget* each : AndEverythingInside(child)) each->removeEventFilter(this);
  }
  cursorHideTimer_.stop();
  unsetCursor();
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
