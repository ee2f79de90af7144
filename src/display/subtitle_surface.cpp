#include "subtitle_surface.h"

namespace captivo {

SubtitleSurface::SubtitleSurface(QWidget* parent)
    : QWidget(parent), label(new SubtitleLabel(this)), image(new SubtitleImage(this)) {
  image->hide();
  label->raise();  // the label lies over the image
}

void SubtitleSurface::resizeEvent(QResizeEvent* event) {
  LayOut();
  QWidget::resizeEvent(event);
}

void SubtitleSurface::LayOut() {
  label->setGeometry(rect());
  image->setGeometry(rect());
}

}  // namespace captivo
