#include "subtitle_surface.h"

#include <algorithm>

namespace captivo {

SubtitleSurface::SubtitleSurface(QWidget* parent)
    : QWidget(parent), label(new SubtitleLabel(this)), image(new SubtitleImage(this)) {
  image->hide();
  label->raise();  // the label lies over the image
}

void SubtitleSurface::SetBitmapView(bool bitmap) {
  bitmap_ = bitmap;
}

bool SubtitleSurface::Arrange() {
  const int band = bitmap_ ? std::min(height(), label->SecondHeight()) : 0;
  const QSize before = image->size();
  // Every clock tick comes here: only a change touches the widgets.
  const auto place = [](QWidget* widget, const QRect& where, bool visible) {
    if (widget->geometry() != where) widget->setGeometry(where);
    widget->setVisible(visible);
  };
  place(label, bitmap_ ? QRect(0, 0, width(), band) : rect(), !bitmap_ || band > 0);
  place(image, QRect(0, band, width(), height() - band), bitmap_);
  return image->size() != before;
}

void SubtitleSurface::resizeEvent(QResizeEvent* event) {
  Arrange();
  QWidget::resizeEvent(event);
}

}  // namespace captivo
