#pragma once

#include <QWidget>

class QLabel;

namespace captivo {

// sbMain: five panels of 100, 100, 100 and 50 pixels, the fifth reaching to the right end.
class StatusBar : public QWidget {
 public:
  explicit StatusBar(QWidget* parent = nullptr);
  void SetPanelText(int panel, const QString& text);
  QString PanelText(int panel) const;
  QLabel* Panel(int panel) const { return panels_[panel]; }

 private:
  QLabel* panels_[5];
};

}  // namespace captivo
