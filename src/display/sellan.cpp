#include "sellan.h"

#include <QListWidget>
#include <QPushButton>

namespace captivo {

TfmSelLan::TfmSelLan(QWidget* owner) : OwnedDialog(owner) {
  setObjectName("fmSelLan");
  setWindowTitle("Select Language");
  setFixedSize(240, 167);
  ListBox1 = new QListWidget(this);
  ListBox1->setGeometry(8, 8, 225, 121);
  ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
  ListBox1->setStyleSheet("QListWidget::item { height: 13px; }");
  Button1 = new QPushButton("OK", this);
  Button1->setGeometry(136, 136, 75, 25);
  Button1->setDefault(true);
  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
}

void TfmSelLan::Button1Click() {
  for (int i = 0; i < ListBox1->count(); ++i) {
    if (!ListBox1->item(i)->isSelected()) continue;
    const QString text = ListBox1->item(i)->text();
    bool isNumber = false;
    const int number = text.left(text.indexOf(" -")).trimmed().toInt(&isNumber, 10);
    if (isNumber) SelectedLanguage = number;
    break;
  }
  accept();
}

}  // namespace captivo
