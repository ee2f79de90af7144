#include "subtitle_window.h"

#include <QGuiApplication>
#include <QScreen>

namespace captivo {

TfmSub::TfmSub()
    : QWidget(nullptr, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool |
                           Qt::WindowDoesNotAcceptFocus) {
  setObjectName("fmSub");
  setAttribute(Qt::WA_ShowWithoutActivating);
  setStyleSheet("background: black;");
  resize(1016, 173);
  imSub = new SubtitleImage(this);
  lbSub = new SubtitleLabel(this);
  imSub->hide();
}

void TfmSub::Park() {
  const QSize screen = QGuiApplication::primaryScreen()->size();
  if (QGuiApplication::platformName() == "wayland") {
    hide();
    return;
  }
  move(screen.width(), screen.height());
}

void TfmSub::resizeEvent(QResizeEvent* event) {
  lbSub->setGeometry(rect());
  imSub->setGeometry(rect());
  QWidget::resizeEvent(event);
}

}  // namespace captivo
