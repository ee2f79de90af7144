#include "subtitle_label.h"

#include <QPainter>
#include <QRegularExpression>

#include "text_codec.h"

namespace captivo {

SubtitleFont SubtitleFont::Initial() {
  SubtitleFont initial;
  initial.font = QFont("Arial");
  initial.font.setPixelSize(19);
  return initial;
}

SubtitleLabel::SubtitleLabel(QWidget* parent) : QWidget(parent), font_(SubtitleFont::Initial()) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void SubtitleLabel::SetText(std::string_view bytes) {
  // The clock sets the text ten times a second; only a change costs a repaint.
  if (bytes == bytes_) return;
  bytes_ = bytes;
  Decode();
  update();
}

void SubtitleLabel::SetSubtitleFont(const SubtitleFont& font) {
  font_ = font;
  Decode();
  update();
}

void SubtitleLabel::SetTextEncoding(const QByteArray& detected) {
  if (detected == detected_) return;
  detected_ = detected;
  Decode();
  update();
}

QString SubtitleLabel::Read(std::string_view bytes) const {
  return DecodeSubtitleText(bytes, font_.codePage, detected_);
}

void SubtitleLabel::Decode() {
  static const QRegularExpression lineBreak("\r\n|\r|\n");
  lines_ = Read(bytes_).split(lineBreak);
  if (bytes_.empty()) lines_.clear();
}

void SubtitleLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::black);
  painter.setFont(font_.font);
  painter.setPen(font_.color);
  const QFontMetrics metrics(font_.font);
  int top = 0;
  for (const QString& line : lines_) {
    if (top >= height()) break;
    const int width = metrics.horizontalAdvance(line);
    // Centring may start left of the edge: the clip cuts both sides alike.
    painter.drawText(QPoint((this->width() - width) / 2, top + metrics.ascent()), line);
    top += metrics.lineSpacing();
  }
}

}  // namespace captivo
