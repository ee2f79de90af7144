#include "subtitle_image.h"

#include <QPainter>
#include <QResizeEvent>

namespace captivo {

SubtitleImage::SubtitleImage(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void SubtitleImage::Clear() {
  surface_.fill(Qt::black);
  update();
}

void SubtitleImage::Draw(const QImage& picture, QPoint at) {
  QPainter painter(&surface_);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.drawImage(at, picture);
  update();
}

void SubtitleImage::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(0, 0, surface_);
}

void SubtitleImage::resizeEvent(QResizeEvent* event) {
  // A new, empty surface of the new size.
  surface_ = QImage(event->size(), QImage::Format_RGB32);
  surface_.fill(Qt::black);
  QWidget::resizeEvent(event);
}

}  // namespace captivo
