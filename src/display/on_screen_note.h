#pragma once

#include <QLabel>

class QTimer;

namespace captivo {

// A note over the full-screen picture, just above the subtitles, for a few seconds: what a
// key did (the volume, a seek, a timing change), where the status bar is out of sight.
class OnScreenNote : public QLabel {
 public:
  OnScreenNote();

  // Shows `text` in `window` with its bottom edge at `bottom`, centred across the window.
  void ShowIn(QWidget* window, int bottom, const QString& text);
  // Hidden, belonging to no window.
  void Withdraw();

 private:
  QTimer* hideTimer_;
};

}  // namespace captivo
