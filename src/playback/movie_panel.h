#pragma once

#include <QWidget>

namespace captivo {

// plMovie: the black panel the movie library draws the picture into. The library's
// playback-event message comes here, and so does the panel's change of size.
class MoviePanel : public QWidget {
  Q_OBJECT
 public:
  explicit MoviePanel(QWidget* parent);

 signals:
  void playbackEvents();  // the library has events waiting
  void resized();         // plMovieResize

 protected:
  bool event(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
};

}  // namespace captivo
