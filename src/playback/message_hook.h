#pragma once

#include <QObject>

namespace captivo {

class TfmMain;

// MessageHookProc: watches every event the application dispatches, and only watches.
// The playback event to the picture panel is answered with GraphNotify; a press of the
// left button on the seek bar holds the clock off the thumb, and its release seeks there.
class MessageHookProc : public QObject {
 public:
  explicit MessageHookProc(TfmMain& window);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  TfmMain& window_;
};

}  // namespace captivo
