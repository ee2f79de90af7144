#include "status_bar.h"

#include <QLabel>
#include <QTimer>

namespace captivo {

namespace {

constexpr int kWidths[5] = {100, 100, 100, 50, 50};
constexpr int kNoteMilliseconds = 4000;

}  // namespace

StatusBar::StatusBar(QWidget* parent) : QWidget(parent) {
  setObjectName("sbMain");
  setFixedHeight(19);
  for (QLabel*& panel : panels_) {
    panel = new QLabel(this);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setIndent(2);
  }
  note_ = new QLabel(this);
  note_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  note_->setIndent(2);
  note_->setAutoFillBackground(true);
  note_->hide();
  noteTimer_ = new QTimer(this);
  noteTimer_->setSingleShot(true);
  noteTimer_->setInterval(kNoteMilliseconds);
  connect(noteTimer_, &QTimer::timeout, note_, &QLabel::hide);
}

QSize StatusBar::minimumSizeHint() const {
  // Panels are cut at the bar's right end rather than holding a window wider than its
  // picture.
  return QSize(0, height());
}

void StatusBar::resizeEvent(QResizeEvent* event) {
  int left = 0;
  for (int i = 0; i < 5; ++i) {
    const int width = i < 4 ? kWidths[i] : std::max(kWidths[i], this->width() - left);
    panels_[i]->setGeometry(left, 0, width, height());
    left += width;
  }
  note_->setGeometry(rect());
  QWidget::resizeEvent(event);
}

void StatusBar::SetPanelText(Panel panel, const QString& text) {
  // The clock writes a panel ten times a second; equal text is not laid out again.
  QLabel* label = PanelLabel(panel);
  if (label->text() != text) label->setText(text);
}

QString StatusBar::PanelText(Panel panel) const {
  return PanelLabel(panel)->text();
}

void StatusBar::ShowNote(const QString& text) {
  note_->setText(text);
  note_->raise();
  note_->show();
  noteTimer_->start();
  emit noteShown(text);
}

QString StatusBar::Note() const {
  return note_->isVisibleTo(this) ? note_->text() : QString();
}

}  // namespace captivo
