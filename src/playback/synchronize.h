#pragma once

#include <QSpinBox>

#include "owned_dialog.h"

class QPushButton;

namespace captivo {

// The offset field: its text cannot be typed into, its arrows step by 1, and it spans the
// whole signed 32-bit range.
class OffsetSpinBox : public QSpinBox {
 public:
  explicit OffsetSpinBox(QWidget* parent = nullptr);
};

// fmSynchronize: the synchronization offset in milliseconds. Created once at start-up and
// kept for the run. It shows the offset in force and asks for each change the user makes;
// the offset changes, and shows here, once the timing has taken it.
class TfmSynchronize : public OwnedDialog {
  Q_OBJECT
 public:
  explicit TfmSynchronize(QWidget* owner);

  // The offset shown.
  int Offset() const;
  void ShowOffset(int milliseconds);

  OffsetSpinBox* seSyn;
  QPushButton* SpeedButton8;  // -10s
  QPushButton* SpeedButton1;  // -1s
  QPushButton* SpeedButton2;  // -100ms
  QPushButton* SpeedButton5;  // -10ms
  QPushButton* SpeedButton6;  // +10ms
  QPushButton* SpeedButton3;  // +100ms
  QPushButton* SpeedButton4;  // +1s
  QPushButton* SpeedButton7;  // +10s
  QPushButton* Button1;       // Reset
  QPushButton* BitBtn1;       // OK
  QPushButton* BitBtn2;       // Cancel

 signals:
  void offsetRequested(int milliseconds);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Step(int milliseconds);
};

}  // namespace captivo
