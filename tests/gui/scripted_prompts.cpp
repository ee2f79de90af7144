#include "scripted_prompts.h"

#include <QDialog>

namespace captivo::test {

void ScriptedPrompts::ShowMessage(QWidget*, const QString& title, const QString& text,
                                  QMessageBox::Icon icon) {
  messages.push_back({title, text, icon});
}

QString ScriptedPrompts::ChooseFile(QWidget*, const QString& title, const QString& filters) {
  fileDialogs << title + "|" + filters;
  if (files.empty()) return {};
  QString answer = files.front();
  files.pop_front();
  return answer;
}

QString ScriptedPrompts::ChooseSaveFile(QWidget*, const QString& title, const QString& filters,
                                        QString& filter) {
  fileDialogs << title + "|" + filters;
  if (saveFiles.empty()) return {};
  const auto [answer, chosenFilter] = saveFiles.front();
  saveFiles.pop_front();
  filter = chosenFilter;
  return answer;
}

bool ScriptedPrompts::Ask(QWidget*, const QString&, const QString& question) {
  questions << question;
  if (answers.empty()) return false;
  const bool answer = answers.front();
  answers.pop_front();
  return answer;
}

bool ScriptedPrompts::ChooseFont(QWidget*, SubtitleFont& font) {
  if (!fontChoice) return false;
  font = *fontChoice;
  return true;
}

int ScriptedPrompts::Exec(QDialog* dialog) {
  return onExec ? onExec(dialog) : QDialog::Rejected;
}

}  // namespace captivo::test
