#pragma once

#include <QObject>

class QSlider;

namespace captivo {

class MovieControl;

// MessageHookProc: watches every event the application dispatches, and only watches, for
// the seek bar's left button: a press holds the clock off the thumb, and its release
// seeks there. (Only events taken off the queue are dispatched: one peeked at never is.)
class MessageHookProc : public QObject {
 public:
  MessageHookProc(QSlider* seekBar, MovieControl& movie);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QSlider* seekBar_;
  MovieControl& movie_;
};

}  // namespace captivo
