#include <QPushButton>
#include <QtTest>

#include "window_fixture.h"

namespace captivo::test {

class SynchronizeTest : public QObject {
  Q_OBJECT

 private slots:
  void stepButtonsAndReset();
  void stepsHaveNoBoundsInsideTheRange();
  void escapeCancelsEnterKeepsCloseBoxKeeps();
  void layoutIsOneRowOfSteps();
  void commandShowsTheDialogModally();
};

void SynchronizeTest::stepButtonsAndReset() {
  WindowFixture f;
  TfmSynchronize& d = *f.fmSynchronize;
  d.show();
  QCOMPARE(d.seSyn->value(), 0);
  d.SpeedButton4->click();  // +1s
  d.SpeedButton3->click();  // +100ms
  d.SpeedButton5->click();  // -10ms
  QCOMPARE(d.seSyn->value(), 1090);
  d.SpeedButton6->click();
  d.SpeedButton2->click();
  d.SpeedButton1->click();
  d.SpeedButton7->click();
  d.SpeedButton8->click();
  QCOMPARE(d.seSyn->value(), 1090 + 10 - 100 - 1000 + 10000 - 10000);
  d.Button1->click();
  QCOMPARE(d.seSyn->value(), 0);
  QVERIFY(d.isVisible());  // Reset leaves the dialog open
  // The arrows step by one; the text cannot be typed into.
  QTest::keyClick(d.seSyn, Qt::Key_Up);
  QCOMPARE(d.seSyn->value(), 1);
  QTest::keyClicks(d.seSyn, "5");
  QCOMPARE(d.seSyn->value(), 1);
}

void SynchronizeTest::stepsHaveNoBoundsInsideTheRange() {
  WindowFixture f;
  TfmSynchronize& d = *f.fmSynchronize;
  for (int i = 0; i < 10; ++i) d.SpeedButton8->click();
  QCOMPARE(d.seSyn->value(), -100000);
  d.seSyn->setValue(2147483000);
  d.SpeedButton4->click();
  QCOMPARE(d.seSyn->value(), 2147483647);
}

void SynchronizeTest::escapeCancelsEnterKeepsCloseBoxKeeps() {
  WindowFixture f;
  TfmSynchronize& d = *f.fmSynchronize;
  d.show();
  d.seSyn->setValue(500);
  QTest::keyClick(&d, Qt::Key_Return);
  QVERIFY(!d.isVisible());
  QCOMPARE(d.result(), int(QDialog::Accepted));
  QCOMPARE(d.seSyn->value(), 500);

  d.show();
  d.close();  // the close box
  QVERIFY(!d.isVisible());
  QCOMPARE(d.seSyn->value(), 500);

  d.show();
  QTest::keyClick(&d, Qt::Key_Escape);
  QVERIFY(!d.isVisible());
  QCOMPARE(d.seSyn->value(), 0);

  d.seSyn->setValue(700);
  d.show();
  d.BitBtn2->click();
  QCOMPARE(d.seSyn->value(), 0);
}

void SynchronizeTest::layoutIsOneRowOfSteps() {
  WindowFixture f;
  TfmSynchronize& d = *f.fmSynchronize;
  d.show();
  QCOMPARE(d.windowTitle(), QString("Synchronize"));
  QVERIFY(d.windowFlags() & Qt::WindowStaysOnTopHint);
  QPushButton* steps[8] = {d.SpeedButton8, d.SpeedButton1, d.SpeedButton2, d.SpeedButton5,
                           d.SpeedButton6, d.SpeedButton3, d.SpeedButton4, d.SpeedButton7};
  const char* captions[8] = {"-10s", "-1s", "-100ms", "-10ms", "+10ms", "+100ms", "+1s", "+10s"};
  for (int i = 0; i < 8; ++i) {
    QCOMPARE(steps[i]->text(), QString(captions[i]));
    QCOMPARE(steps[i]->y(), steps[0]->y());
    if (i > 0) QVERIFY(steps[i]->x() > steps[i - 1]->x());
  }
  QVERIFY(d.Button1->y() > steps[0]->y());
  QVERIFY(d.BitBtn1->isDefault());
  QCOMPARE(d.minimumSize(), d.maximumSize());  // fixed size
  // Centred on the main window.
  const QPoint offset = d.frameGeometry().center() - f.fmMain->frameGeometry().center();
  QVERIFY2(offset.manhattanLength() <= 4,
           qPrintable(QString("%1,%2").arg(offset.x()).arg(offset.y())));
}

void SynchronizeTest::commandShowsTheDialogModally() {
  WindowFixture f;
  QDialog* shown = nullptr;
  f.prompts.onExec = [&](QDialog* dialog) {
    shown = dialog;
    return 0;
  };
  f.Trigger("AdjustSubtitle1");
  QCOMPARE(shown, static_cast<QDialog*>(f.fmSynchronize.get()));
}

}  // namespace captivo::test

int RunSynchronizeTests(int argc, char** argv) {
  captivo::test::SynchronizeTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "synchronize_test.moc"
