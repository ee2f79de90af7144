#include "subtitle_image.h"

#include <QPainter>
#include <QResizeEvent>

namespace captivo {

SubtitleImage::SubtitleImage(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

QImage& SubtitleImage::Surface() {
  MatchSize();
  return surface_;
}

void SubtitleImage::MatchSize() {
  if (surface_.size() == size()) return;
  surface_ = QImage(size(), QImage::Format_RGB32);
  surface_.fill(Qt::black);
}

void SubtitleImage::Clear() {
  MatchSize();
  surface_.fill(Qt::black);
  update();
}

void SubtitleImage::Draw(const QImage& picture, QPoint at) {
  MatchSize();
  QPainter painter(&surface_);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.drawImage(at, picture);
  update();
}

void SubtitleImage::paintEvent(QPaintEvent*) {
  MatchSize();
  QPainter painter(this);
  painter.drawImage(0, 0, surface_);
}

void SubtitleImage::resizeEvent(QResizeEvent* event) {
  MatchSize();  // a new, empty surface of the new size
  QWidget::resizeEvent(event);
}

}  // namespace captivo
