#pragma once

#include <QDialog>

namespace captivo {

// The program's dialogs: a fixed-size frame with a close button, above every window that
// is not itself always on top, centred on its owner each time it shows.
class OwnedDialog : public QDialog {
 public:
  explicit OwnedDialog(QWidget* owner);

 protected:
  void showEvent(QShowEvent* event) override;
};

}  // namespace captivo
