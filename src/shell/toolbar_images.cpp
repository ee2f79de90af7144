#include "toolbar_images.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace captivo {

namespace {

const QColor kGreen(0x1f, 0x9d, 0x3a);
const QColor kDarkGreen(0x0f, 0x5f, 0x20);
const QColor kYellow(0xf2, 0xc2, 0x2e);

void Folder(QPainter& p, int top) {
  p.setPen(QPen(QColor(0x9a, 0x74, 0x10), 1));
  p.setBrush(kYellow);
  p.drawRect(1, top + 2, 14, 9);
  p.drawRect(1, top, 6, 2);
}

void UpArrow(QPainter& p, int x, int y) {
  QPainterPath arrow;
  arrow.moveTo(x, y);
  arrow.lineTo(x + 4, y + 5);
  arrow.lineTo(x + 2, y + 5);
  arrow.lineTo(x + 2, y + 9);
  arrow.lineTo(x - 2, y + 9);
  arrow.lineTo(x - 2, y + 5);
  arrow.lineTo(x - 4, y + 5);
  arrow.closeSubpath();
  p.setPen(kDarkGreen);
  p.setBrush(kGreen);
  p.drawPath(arrow);
}

void Text(QPainter& p, const QString& text, int pixelSize, QRect area) {
  QFont font("Arial");
  font.setPixelSize(pixelSize);
  font.setBold(true);
  p.setFont(font);
  p.setPen(kGreen);
  p.drawText(area, Qt::AlignCenter, text);
}

void Draw(QPainter& p, int index) {
  p.setRenderHint(QPainter::Antialiasing);
  switch (index) {
    case 0:  // a yellow folder with an upward arrow
      Folder(p, 6);
      UpArrow(p, 14, 1);
      break;
    case 1: {  // play
      QPainterPath triangle;
      triangle.moveTo(5, 3);
      triangle.lineTo(17, 10);
      triangle.lineTo(5, 17);
      triangle.closeSubpath();
      p.setPen(kDarkGreen);
      p.setBrush(kGreen);
      p.drawPath(triangle);
      break;
    }
    case 2:  // pause
      p.setPen(kDarkGreen);
      p.setBrush(kGreen);
      p.drawRect(4, 3, 4, 14);
      p.drawRect(12, 3, 4, 14);
      break;
    case 3:  // stop
      p.setPen(kDarkGreen);
      p.setBrush(kGreen);
      p.drawRect(4, 4, 12, 12);
      break;
    case 4:  // the folder with the arrow over the word Sub
      Folder(p, 1);
      UpArrow(p, 14, 0);
      Text(p, "Sub", 9, QRect(0, 11, 20, 9));
      break;
    case 5:  // two letters A
      Text(p, "A", 15, QRect(-1, 1, 12, 18));
      Text(p, "A", 11, QRect(9, 5, 11, 14));
      break;
    case 6:
      Text(p, "1x", 13, QRect(0, 0, 20, 20));
      break;
    case 7:
      Text(p, "2x", 13, QRect(0, 0, 20, 20));
      break;
    case 8: {  // four arrows pointing outwards
      p.setPen(QPen(kGreen, 2));
      const QPoint corners[4] = {{2, 2}, {18, 2}, {2, 18}, {18, 18}};
      for (const QPoint& c : corners) {
        const int dx = c.x() < 10 ? 1 : -1, dy = c.y() < 10 ? 1 : -1;
        p.drawLine(c, c + QPoint(6 * dx, 6 * dy));
        p.drawLine(c, c + QPoint(5 * dx, 0));
        p.drawLine(c, c + QPoint(0, 5 * dy));
      }
      break;
    }
  }
}

}  // namespace

QIcon ToolBarImage(int index) {
  QPixmap image(20, 20);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  Draw(painter, index);
  return QIcon(image);
}

}  // namespace captivo
