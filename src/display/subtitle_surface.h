#pragma once

#include <QWidget>

#include "subtitle_image.h"
#include "subtitle_label.h"

namespace captivo {

// One place subtitles are shown: a text label and a bitmap image. Text fills the surface
// from the label; pictures fill it from the image, below a band of the label that holds
// the second subtitle's lines while there are any.
class SubtitleSurface : public QWidget {
 public:
  explicit SubtitleSurface(QWidget* parent = nullptr);

  SubtitleLabel* const label;
  SubtitleImage* const image;

  void SetBitmapView(bool bitmap);
  // Lays the label and the image out for the view and the second subtitle's lines; true
  // when the image got another size, and with it a new, black surface.
  bool Arrange();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  bool bitmap_ = false;
};

}  // namespace captivo
