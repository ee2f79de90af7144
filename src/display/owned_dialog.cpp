#include "owned_dialog.h"

namespace captivo {

OwnedDialog::OwnedDialog(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint |
                         Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {}

void OwnedDialog::showEvent(QShowEvent* event) {
  if (QWidget* owner = parentWidget()) move(owner->frameGeometry().center() - rect().center());
  QDialog::showEvent(event);
}

}  // namespace captivo
