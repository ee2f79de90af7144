#include "message_hook.h"

#include <QMouseEvent>
#include <QSlider>

#include "main_window.h"
#include "movix.h"
#include "window_messages.h"

namespace captivo {

MessageHookProc::MessageHookProc(TfmMain& window) : window_(window) {}

bool MessageHookProc::eventFilter(QObject* watched, QEvent* event) {
  // Only events taken off the queue reach a filter: one peeked at never does.
  if (watched == window_.plMovie && event->type() == kPlaybackEvent) GraphNotify();
  // A quick second press arrives as a double-click: it holds the thumb like a press.
  const bool press =
      event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick;
  if (watched == window_.tbMain && (press || event->type() == QEvent::MouseButtonRelease)) {
    if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
      if (press) {
        window_.SeekDragging = true;
      } else {
        window_.SeekDragging = false;
        SetPos(window_.tbMain->value());
      }
    }
  }
  return false;  // the event goes on to its window unchanged
}

}  // namespace captivo
