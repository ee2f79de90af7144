#pragma once

#include <QImage>
#include <QWidget>

namespace captivo {

// A bitmap subtitle surface: a drawing surface of exactly the widget's size, opaque,
// black where no picture is.
class SubtitleImage : public QWidget {
 public:
  explicit SubtitleImage(QWidget* parent = nullptr);

  QImage& Surface();
  // Fills the whole surface with black.
  void Clear();
  // Draws `picture` unscaled with its top-left corner at `at`; what falls outside is cut.
  void Draw(const QImage& picture, QPoint at);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // A new, black surface when the widget's size has changed; a hidden widget hears of
  // its size only when it is shown.
  void MatchSize();
  QImage surface_;
};

}  // namespace captivo
