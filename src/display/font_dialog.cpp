#include "font_dialog.h"

#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QFontInfo>
#include <QFormLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "text_codec.h"

namespace captivo {

SubtitleFontDialog::SubtitleFontDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle("Font");
  chooser = new QFontDialog(this);
  chooser->setWindowFlags(Qt::Widget);
  chooser->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);

  colorButton = new QPushButton(this);
  connect(colorButton, &QPushButton::clicked, this, [this] {
    const QColor picked = QColorDialog::getColor(color_, this, "Color");
    if (picked.isValid()) {
      color_ = picked;
      ShowColor();
    }
  });
  scriptBox = new QComboBox(this);
  for (const Script& script : kScripts) scriptBox->addItem(script.name, script.codePage);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* choices = new QFormLayout;
  choices->addRow("Color:", colorButton);
  choices->addRow("Script:", scriptBox);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(chooser);
  layout->addLayout(choices);
  layout->addWidget(buttons);
}

void SubtitleFontDialog::ShowColor() {
  colorButton->setText(color_.name());
  QPalette palette = colorButton->palette();
  palette.setColor(QPalette::Button, color_);
  colorButton->setPalette(palette);
}

void SubtitleFontDialog::Preset(const SubtitleFont& font) {
  QFont shown = font.font;
  // The face the labels really show: a family that is not installed has a stand-in,
  // and OK without a change must keep it.
  shown.setFamily(QFontInfo(font.font).family());
  // The chooser lists sizes in points; a pixel size is shown as its point equivalent.
  if (shown.pointSizeF() <= 0) shown.setPointSizeF(shown.pixelSize() * 72.0 / logicalDpiY());
  chooser->setCurrentFont(shown);
  color_ = font.color;
  ShowColor();
  const int index = scriptBox->findData(font.codePage);
  scriptBox->setCurrentIndex(index < 0 ? 0 : index);
}

SubtitleFont SubtitleFontDialog::Chosen() const {
  return {chooser->currentFont(), color_, scriptBox->currentData().toInt()};
}

}  // namespace captivo
