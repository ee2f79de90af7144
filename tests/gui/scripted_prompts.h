#pragma once

#include <QStringList>
#include <deque>
#include <functional>
#include <optional>

#include "user_prompts.h"

namespace captivo::test {

// The user, scripted: answers are queued before the command runs, and every message box
// is recorded instead of shown.
class ScriptedPrompts : public UserPrompts {
 public:
  struct Message {
    QString title, text;
    QMessageBox::Icon icon;
  };
  std::vector<Message> messages;
  std::deque<QString> files;  // the next file dialogs' answers; empty: cancel
  QStringList fileDialogs;    // "title|filters" of each file dialog shown
  // The next save dialogs' answers, each a file and the filter chosen; empty: cancel.
  std::deque<std::pair<QString, QString>> saveFiles;
  std::deque<bool> answers;                // the next questions' answers; empty: No
  QStringList questions;                   // the text of each question asked
  std::optional<SubtitleFont> fontChoice;  // nothing: the font dialog is cancelled
  std::function<int(QDialog*)> onExec;     // what a modal dialog does while it is open

  void ShowMessage(QWidget* owner, const QString& title, const QString& text,
                   QMessageBox::Icon icon) override;
  QString ChooseFile(QWidget* owner, const QString& title, const QString& filters) override;
  QString ChooseSaveFile(QWidget* owner, const QString& title, const QString& filters,
                         QString& filter) override;
  bool Ask(QWidget* owner, const QString& title, const QString& question) override;
  bool ChooseFont(QWidget* owner, SubtitleFont& font) override;
  int Exec(QDialog* dialog) override;
};

}  // namespace captivo::test
