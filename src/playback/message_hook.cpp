#include "message_hook.h"

#include <QMouseEvent>
#include <QSlider>

#include "movie_control.h"

namespace captivo {

MessageHookProc::MessageHookProc(QSlider* seekBar, MovieControl& movie)
    : seekBar_(seekBar), movie_(movie) {}

bool MessageHookProc::eventFilter(QObject* watched, QEvent* event) {
  if (watched != seekBar_) return false;
  // A quick second press arrives as a double-click: it holds the thumb like a press.
  const bool press =
      event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick;
  const bool release = event->type() == QEvent::MouseButtonRelease;
  if ((press || release) && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    movie_.SetSeekDragging(press);
    if (release) movie_.Seek(seekBar_->value());
  }
  return false;  // the event goes on to its window unchanged
}

}  // namespace captivo
