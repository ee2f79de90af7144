#include "synchronize.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <limits>

namespace captivo {

OffsetSpinBox::OffsetSpinBox(QWidget* parent) : QSpinBox(parent) {
  setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
  setSingleStep(1);
  lineEdit()->setReadOnly(true);
}

TfmSynchronize::TfmSynchronize(QWidget* owner) : OwnedDialog(owner) {
  setObjectName("fmSynchronize");
  setWindowTitle("Synchronize");
  setModal(true);

  seSyn = new OffsetSpinBox(this);
  seSyn->setObjectName("seSyn");
  seSyn->setMinimumWidth(120);
  connect(seSyn, &QSpinBox::valueChanged, this, &TfmSynchronize::offsetRequested);
  auto* valueRow = new QHBoxLayout;
  valueRow->addWidget(seSyn);
  valueRow->addWidget(new QLabel("ms", this));
  valueRow->addStretch();

  auto* steps = new QHBoxLayout;
  steps->setSpacing(2);
  auto stepButton = [&](const char* caption, int milliseconds) {
    auto* button = new QPushButton(caption, this);
    button->setAutoDefault(false);
    button->setFocusPolicy(Qt::NoFocus);
    connect(button, &QPushButton::clicked, this, [this, milliseconds] { Step(milliseconds); });
    steps->addWidget(button);
    return button;
  };
  SpeedButton8 = stepButton("-10s", -10000);
  SpeedButton1 = stepButton("-1s", -1000);
  SpeedButton2 = stepButton("-100ms", -100);
  SpeedButton5 = stepButton("-10ms", -10);
  SpeedButton6 = stepButton("+10ms", 10);
  SpeedButton3 = stepButton("+100ms", 100);
  SpeedButton4 = stepButton("+1s", 1000);
  SpeedButton7 = stepButton("+10s", 10000);

  Button1 = new QPushButton("Reset", this);
  Button1->setAutoDefault(false);
  connect(Button1, &QPushButton::clicked, this, [this] { emit offsetRequested(0); });
  BitBtn1 = new QPushButton("OK", this);
  BitBtn1->setDefault(true);
  connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
  BitBtn2 = new QPushButton("Cancel", this);
  BitBtn2->setAutoDefault(false);
  connect(BitBtn2, &QPushButton::clicked, this, [this] {
    emit offsetRequested(0);
    reject();
  });
  auto* closing = new QHBoxLayout;
  closing->addStretch();
  closing->addWidget(Button1);
  closing->addWidget(BitBtn1);
  closing->addWidget(BitBtn2);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(valueRow);
  layout->addLayout(steps);
  layout->addLayout(closing);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

int TfmSynchronize::Offset() const {
  return seSyn->value();
}

void TfmSynchronize::ShowOffset(int milliseconds) {
  const QSignalBlocker quiet(seSyn);
  seSyn->setValue(milliseconds);
}

void TfmSynchronize::Step(int milliseconds) {
  // No bounds inside the 32-bit range; beyond it the value stays at the limit.
  const long long stepped = static_cast<long long>(seSyn->value()) + milliseconds;
  emit offsetRequested(
      static_cast<int>(std::clamp<long long>(stepped, seSyn->minimum(), seSyn->maximum())));
}

void TfmSynchronize::keyPressEvent(QKeyEvent* event) {
  // Escape is the Cancel button; the close box (reject alone) keeps the value.
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    BitBtn2->click();
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace captivo
