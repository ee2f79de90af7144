#pragma once

#include <QTimer>
#include <QWidget>
#include <functional>

namespace movix {

// The picture over the whole of one screen, in the platform's own full-screen state:
// frameless, black around the picture, with the keyboard. Closed by other means than the
// library (the window manager, a double click), it says so through `closedByUser`.
// Widgets the program lays over the picture are handed back, hidden and without a
// parent, when the window closes. The mouse cursor hides over it once the mouse has
// stood still for a while, over the program's widgets too, and shows again when it moves.
class FullScreenWindow : public QWidget {
 public:
  static constexpr int kCursorHideDelayMs = 2000;

  FullScreenWindow(QScreen* screen, std::function<void()> closedByUser);
  // Closes the window as the library does: without the notice.
  void CloseQuietly();
  // The widget that shows the picture, kept below everything the program adds.
  void SetPicture(QWidget* picture);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // Has `widget` and everything inside it, now and later, report mouse movement here.
  void WatchMouseOver(QWidget* widget);
  void ShowCursorAwhile();

  std::function<void()> closedByUser_;
  QTimer cursorHideTimer_{this};  // a child, for tests to find
  QWidget* picture_ = nullptr;
  bool quiet_ = false;
};

}  // namespace movix
