#pragma once

#include <QWidget>

class QLabel;

namespace captivo {

// sbMain: five panels of 100, 100, 100 and 50 pixels, the fifth reaching to the right end
// (and at least 50 wide). A bar narrower than that cuts its panels at its right end.
class StatusBar : public QWidget {
 public:
  explicit StatusBar(QWidget* parent = nullptr);
  void SetPanelText(int panel, const QString& text);
  QString PanelText(int panel) const;
  QLabel* Panel(int panel) const { return panels_[panel]; }
  QSize minimumSizeHint() const override;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  QLabel* panels_[5];
};

}  // namespace captivo
