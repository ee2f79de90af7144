#pragma once

#include <QWidget>

#include "subtitle_image.h"
#include "subtitle_label.h"

namespace captivo {

// One place subtitles are shown: a text label and a bitmap image stacked over each
// other, both filling the surface; one of the two is visible at a time.
class SubtitleSurface : public QWidget {
 public:
  explicit SubtitleSurface(QWidget* parent = nullptr);

  SubtitleLabel* const label;
  SubtitleImage* const image;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  // Both children fill the surface.
  void LayOut();
};

}  // namespace captivo
