#pragma once

#include <QWidget>

#include "subtitle_image.h"
#include "subtitle_label.h"

namespace captivo {

// fmSub: the borderless, always-on-top overlay that carries the subtitles under the
// picture in full screen; parked just past the screen's bottom-right corner otherwise.
class TfmSub : public QWidget {
 public:
  TfmSub();

  SubtitleLabel* lbSub;
  SubtitleImage* imSub;

  // Moves the overlay so that its top-left corner is at (screen width, screen height).
  // Where the platform does not place windows off the screen (Wayland), it is hidden
  // instead.
  void Park();

 protected:
  void resizeEvent(QResizeEvent* event) override;
};

}  // namespace captivo
