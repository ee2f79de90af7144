#pragma once

#include <QWidget>
#include <functional>

namespace movix {

// The picture over the whole primary screen: frameless, black around the picture, with
// the keyboard. Closed by other means than the library (the window manager, a double
// click), it says so through `closedByUser`.
class FullScreenWindow : public QWidget {
 public:
  explicit FullScreenWindow(std::function<void()> closedByUser);
  // Closes the window as the library does: without the notice.
  void CloseQuietly();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  std::function<void()> closedByUser_;
  bool quiet_ = false;
};

}  // namespace movix
