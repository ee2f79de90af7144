#pragma once

#include "owned_dialog.h"

class QListWidget;
class QPushButton;

namespace captivo {

// fmSelLan: the language of a bitmap subtitle set; made afresh for each choice.
class TfmSelLan : public OwnedDialog {
 public:
  explicit TfmSelLan(QWidget* owner);

  QListWidget* ListBox1;
  QPushButton* Button1;
  int32_t SelectedLanguage = 0;

  // OK: the number before " -" of the first selected item, then the dialog closes.
  void Button1Click();
};

}  // namespace captivo
