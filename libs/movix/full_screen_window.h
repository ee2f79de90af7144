#pragma once

#include <QWidget>
#include <functional>

namespace movix {

// The picture over the whole of one screen, in the platform's own full-screen state:
// frameless, black around the picture, with the keyboard. Closed by other means than the
// library (the window manager, a double click), it says so through `closedByUser`.
// Widgets the program lays over the picture are handed back, hidden and without a
// parent, when the window closes.
class FullScreenWindow : public QWidget {
 public:
  FullScreenWindow(QScreen* screen, std::function<void()> closedByUser);
  // Closes the window as the library does: without the notice.
  void CloseQuietly();
  // The widget that shows the picture, kept below everything the program adds.
  void SetPicture(QWidget* picture);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  std::function<void()> closedByUser_;
  QWidget* picture_ = nullptr;
  bool quiet_ = false;
};

}  // namespace movix
