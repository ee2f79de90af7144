#pragma once

#include <QWidget>

class QLabel;

namespace captivo {

// The five panels, left to right.
enum class Panel { Position, Length, FrameRate, PictureSize, SubtitleFrameRate };

// sbMain: five panels of 100, 100, 100 and 50 pixels, the fifth reaching to the right end
// (and at least 50 wide). A bar narrower than that cuts its panels at its right end.
class StatusBar : public QWidget {
  Q_OBJECT
 public:
  explicit StatusBar(QWidget* parent = nullptr);
  void SetPanelText(Panel panel, const QString& text);
  QString PanelText(Panel panel) const;
  QLabel* PanelLabel(Panel panel) const { return panels_[static_cast<int>(panel)]; }
  QSize minimumSizeHint() const override;
  // A note across the whole bar for a few seconds, over the panels; the note shown now.
  void ShowNote(const QString& text);
  QString Note() const;

 signals:
  void noteShown(const QString& text);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  QLabel* panels_[5];
  QLabel* note_;
  QTimer* noteTimer_;
};

}  // namespace captivo
