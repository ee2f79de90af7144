#include "status_bar.h"

#include <QHBoxLayout>
#include <QLabel>

namespace captivo {

StatusBar::StatusBar(QWidget* parent) : QWidget(parent) {
  setObjectName("sbMain");
  setFixedHeight(19);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  const int widths[5] = {100, 100, 100, 50, 50};
  for (int i = 0; i < 5; ++i) {
    auto* panel = new QLabel(this);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setIndent(2);
    if (i < 4)
      panel->setFixedWidth(widths[i]);
    else
      panel->setMinimumWidth(widths[i]);
    layout->addWidget(panel, i == 4 ? 1 : 0);
    panels_[i] = panel;
  }
}

void StatusBar::SetPanelText(int panel, const QString& text) {
  // The clock writes a panel ten times a second; equal text is not laid out again.
  if (panels_[panel]->text() != text) panels_[panel]->setText(text);
}

QString StatusBar::PanelText(int panel) const {
  return panels_[panel]->text();
}

}  // namespace captivo
