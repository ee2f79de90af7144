#include "subtitle_label.h"

#include <QPainter>
#include <QRegularExpression>

#include "text_codec.h"

namespace captivo {

namespace {

// Pale yellow tells the second subtitle from the first, or pale blue when the first's
// colour is already a warm one.
QColor SecondColor(const QColor& first) {
  const bool warm = first.red() > 160 && first.green() > 120 && first.blue() < 140;
  return warm ? QColor(150, 210, 255) : QColor(255, 225, 110);
}

}  // namespace

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
  DecodeFirst();
  update();
}

void SubtitleLabel::SetSecondText(std::string_view bytes) {
  if (bytes == secondBytes_) return;
  secondBytes_ = bytes;
  DecodeSecond();
  update();
}

int SubtitleLabel::SecondHeight() const {
  return static_cast<int>(secondLines_.size()) * QFontMetrics(font_.font).lineSpacing();
}

void SubtitleLabel::SetSubtitleFont(const SubtitleFont& font) {
  font_ = font;
  DecodeFirst();
  DecodeSecond();
  update();
}

void SubtitleLabel::SetTextEncoding(const QByteArray& detected) {
  if (detected == detected_) return;
  detected_ = detected;  // the second subtitle is not read in the first's encoding
  DecodeFirst();
  update();
}

QString SubtitleLabel::Read(std::string_view bytes) const {
  return DecodeSubtitleText(bytes, font_.codePage, detected_);
}

namespace {

QStringList LinesOf(std::string_view bytes, const QString& text) {
  static const QRegularExpression lineBreak("\r\n|\r|\n");
  return bytes.empty() ? QStringList() : text.split(lineBreak);
}

}  // namespace

void SubtitleLabel::DecodeFirst() {
  lines_ = LinesOf(bytes_, Read(bytes_));
}

void SubtitleLabel::DecodeSecond() {
  secondLines_ = LinesOf(secondBytes_, DecodeSubtitleText(secondBytes_, font_.codePage));
}

void SubtitleLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::black);
  painter.setFont(font_.font);
  const QFontMetrics metrics(font_.font);
  int top = 0;
  const auto draw = [&](const QStringList& lines, const QColor& color) {
    painter.setPen(color);
    for (const QString& line : lines) {
      if (top >= height()) break;
      const int width = metrics.horizontalAdvance(line);
      // Centring may start left of the edge: the clip cuts both sides alike.
      painter.drawText(QPoint((this->width() - width) / 2, top + metrics.ascent()), line);
      top += metrics.lineSpacing();
    }
  };
  draw(secondLines_, SecondColor(font_.color));
  draw(lines_, font_.color);
}

}  // namespace captivo
