#include "about.h"

#include <QDesktopServices>
#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QUrl>

#include "maker.h"

namespace captivo {

TfmAbout::TfmAbout(QWidget* owner) : OwnedDialog(owner) {
  setObjectName("fmAbout");
  setWindowTitle("About");
  setFixedSize(339, 100);
  QFont font("Arial");
  font.setPixelSize(11);
  setFont(font);

  Label2 = new QLabel("Captivo, the movie player for subtitles, by Brindle", this);
  Label2->setGeometry(16, 40, 313, 14);
  Label3 = new QLabel(kMakerWebAddress, this);
  Label3->setGeometry(16, 56, 281, 14);
  QFont link = font;
  link.setUnderline(true);
  Label3->setFont(link);
  Label3->setStyleSheet("color: green;");
  Label3->setCursor(Qt::PointingHandCursor);
  Label3->installEventFilter(this);
  BitBtn1 = new QPushButton("OK", this);
  BitBtn1->setGeometry(216, 72, 75, 25);
  BitBtn1->setDefault(true);
  connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
}

void TfmAbout::Label3Click() {
  QDesktopServices::openUrl(QUrl(kMakerWebAddress));
}

bool TfmAbout::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Label3 && event->type() == QEvent::MouseButtonRelease) Label3Click();
  return QDialog::eventFilter(watched, event);
}

}  // namespace captivo
