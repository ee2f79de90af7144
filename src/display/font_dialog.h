#pragma once

#include <QDialog>

#include "subtitle_font.h"

class QComboBox;
class QFontDialog;
class QPushButton;

namespace captivo {

// FontDialog1: the system's font chooser (face, style, size, underline, strike-out) with
// the two choices it lacks, the text colour and the script.
class SubtitleFontDialog : public QDialog {
 public:
  explicit SubtitleFontDialog(QWidget* parent = nullptr);

  void Preset(const SubtitleFont& font);
  SubtitleFont Chosen() const;

  QFontDialog* chooser;
  QPushButton* colorButton;
  QComboBox* scriptBox;

 private:
  void ShowColor();
  QColor color_;
};

}  // namespace captivo
