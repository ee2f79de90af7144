#pragma once

#include "owned_dialog.h"

class QLabel;
class QPushButton;

namespace captivo {

// fmAbout: the maker's line and web address; created for each showing.
class TfmAbout : public OwnedDialog {
 public:
  explicit TfmAbout(QWidget* owner);

  QLabel* Label2;
  QLabel* Label3;
  QPushButton* BitBtn1;

  void Label3Click();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace captivo
