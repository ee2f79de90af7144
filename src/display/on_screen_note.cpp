#include "on_screen_note.h"

#include <QTimer>
#include <algorithm>

namespace captivo {

namespace {

constexpr int kShownMilliseconds = 2500;
constexpr int kGap = 8;  // between the note and the subtitles under it

}  // namespace

OnScreenNote::OnScreenNote() : hideTimer_(new QTimer(this)) {
  setObjectName("OnScreenNote");
  setAttribute(Qt::WA_StyledBackground);
  setStyleSheet("background: rgba(0, 0, 0, 170); color: white; padding: 6px 14px;");
  QFont font("Arial");
  font.setPixelSize(22);
  setFont(font);
  setFocusPolicy(Qt::NoFocus);
  hideTimer_->setSingleShot(true);
  hideTimer_->setInterval(kShownMilliseconds);
  connect(hideTimer_, &QTimer::timeout, this, &QWidget::hide);
}

void OnScreenNote::ShowIn(QWidget* window, int bottom, const QString& text) {
  if (parentWidget() != window) setParent(window);
  setText(text);
  adjustSize();
  move((window->width() - width()) / 2, std::max(0, bottom - kGap - height()));
  show();
  raise();
  hideTimer_->start();
}

void OnScreenNote::Withdraw() {
  hide();
  if (parentWidget()) setParent(nullptr);
}

}  // namespace captivo
