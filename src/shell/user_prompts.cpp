#include "user_prompts.h"

#include <QFileDialog>

#include "font_dialog.h"

namespace captivo {

void ToolkitPrompts::ShowMessage(QWidget* owner, const QString& title, const QString& text,
                                 QMessageBox::Icon icon) {
  QMessageBox box(icon, title, text, QMessageBox::Ok, owner);
  box.exec();
}

QString ToolkitPrompts::ChooseFile(QWidget* owner, const QString& title, const QString& filters) {
  // The toolkit's own dialog: the same everywhere, and a path can be typed into it.
  return QFileDialog::getOpenFileName(
      owner, title, QString(), filters, nullptr,
      QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
}

QString ToolkitPrompts::ChooseSaveFile(QWidget* owner, const QString& title, const QString& filters,
                                       QString& filter) {
  return QFileDialog::getSaveFileName(
      owner, title, QString(), filters, &filter,
      QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
}

bool ToolkitPrompts::Ask(QWidget* owner, const QString& title, const QString& question) {
  return QMessageBox::question(owner, title, question) == QMessageBox::Yes;
}

bool ToolkitPrompts::ChooseFont(QWidget* owner, SubtitleFont& font) {
  SubtitleFontDialog dialog(owner);
  dialog.Preset(font);
  if (dialog.exec() != QDialog::Accepted) return false;
  font = dialog.Chosen();
  return true;
}

int ToolkitPrompts::Exec(QDialog* dialog) {
  return dialog->exec();
}

}  // namespace captivo
