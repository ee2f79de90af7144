#include "movie_panel.h"

#include "window_messages.h"

namespace captivo {

MoviePanel::MoviePanel(QWidget* parent) : QWidget(parent) {
  setObjectName("plMovie");
  setAutoFillBackground(true);
  QPalette black = palette();
  black.setColor(QPalette::Window, Qt::black);
  setPalette(black);
}

bool MoviePanel::event(QEvent* event) {
  // Only a message taken off the queue is delivered: one peeked at never is.
  if (event->type() == kPlaybackEvent) {
    emit playbackEvents();
    return true;
  }
  return QWidget::event(event);
}

void MoviePanel::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  emit resized();
}

}  // namespace captivo
