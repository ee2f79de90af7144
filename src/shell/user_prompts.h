#pragma once

#include <QMessageBox>
#include <QString>

#include "subtitle_font.h"

class QDialog;
class QWidget;

namespace captivo {

// Everything that waits for the user: message boxes, file and font choices, modal
// dialogs. The program uses the real ones; tests put scripted answers in their place.
class UserPrompts {
 public:
  virtual ~UserPrompts() = default;
  virtual void ShowMessage(QWidget* owner, const QString& title, const QString& text,
                           QMessageBox::Icon icon) = 0;
  // The chosen file, or an empty text when the user cancels. `filters` as Qt writes them,
  // separated by ";;".
  virtual QString ChooseFile(QWidget* owner, const QString& title, const QString& filters) = 0;
  // The file to write, or an empty text when the user cancels; `filter` gets the filter
  // chosen. The dialog never asks about a file already there: the caller does (Ask).
  virtual QString ChooseSaveFile(QWidget* owner, const QString& title, const QString& filters,
                                 QString& filter) = 0;
  // True when the user answers Yes to `question`.
  virtual bool Ask(QWidget* owner, const QString& title, const QString& question) = 0;
  // True when the user confirms; `font` is preset and receives the choice.
  virtual bool ChooseFont(QWidget* owner, SubtitleFont& font) = 0;
  // Runs a dialog modally; its result.
  virtual int Exec(QDialog* dialog) = 0;
};

// The real dialogs of the toolkit.
class ToolkitPrompts : public UserPrompts {
 public:
  void ShowMessage(QWidget* owner, const QString& title, const QString& text,
                   QMessageBox::Icon icon) override;
  QString ChooseFile(QWidget* owner, const QString& title, const QString& filters) override;
  QString ChooseSaveFile(QWidget* owner, const QString& title, const QString& filters,
                         QString& filter) override;
  bool Ask(QWidget* owner, const QString& title, const QString& question) override;
  bool ChooseFont(QWidget* owner, SubtitleFont& font) override;
  int Exec(QDialog* dialog) override;
};

}  // namespace captivo
