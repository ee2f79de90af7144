#include <QImage>
#include <QtTest>

#include "font_dialog.h"
#include "subtitle_image.h"
#include "subtitle_label.h"
#include "text_codec.h"
#include "window_fixture.h"

namespace captivo::test {

class SubtitleDisplayTest : public QObject {
  Q_OBJECT

 private slots:
  void textGoesToBothLabels();
  void viewSwitchesBetweenLabelsAndImages();
  void fontDialogOkAndCancel();
  void fontDialogPresetsTheFaceTheLabelsShow();
  void bytesAreDecodedByTheScript_data();
  void bytesAreDecodedByTheScript();
  void linesAreCentredFromTheTopAndCutAtBothSides();
};

void SubtitleDisplayTest::textGoesToBothLabels() {
  WindowFixture f;
  f.fmMain->ShowSubtitleText("First\r\nSecond");
  QCOMPARE(f.fmMain->lbSubtitle->Lines(), QStringList({"First", "Second"}));
  QCOMPARE(f.fmSub->lbSub->Lines(), QStringList({"First", "Second"}));
  f.fmMain->ShowSubtitleText("");
  QVERIFY(f.fmMain->lbSubtitle->Lines().isEmpty());
  QVERIFY(f.fmSub->lbSub->Lines().isEmpty());
  f.fmMain->ShowSubtitleText("a\rb\nc");  // a lone CR or LF starts a line too
  QCOMPARE(f.fmSub->lbSub->Lines(), QStringList({"a", "b", "c"}));
}

void SubtitleDisplayTest::viewSwitchesBetweenLabelsAndImages() {
  WindowFixture f;
  f.fmSub->show();
  for (bool bitmap : {true, false}) {
    f.fmMain->SetSubtitleView(bitmap);
    QCOMPARE(f.fmMain->lbSubtitle->isVisible(), !bitmap);
    QCOMPARE(f.fmMain->imSubtitle->isVisible(), bitmap);
    QCOMPARE(f.fmSub->lbSub->isVisible(), !bitmap);
    QCOMPARE(f.fmSub->imSub->isVisible(), bitmap);
  }
}

void SubtitleDisplayTest::fontDialogOkAndCancel() {
  WindowFixture f;
  const SubtitleFont before = f.fmMain->lbSubtitle->Font();
  f.fmMain->SetSubtitleFont1->trigger();  // cancelled
  QCOMPARE(f.fmMain->lbSubtitle->Font().font, before.font);
  QCOMPARE(f.fmMain->lbSubtitle->Font().color, before.color);

  SubtitleFont chosen = before;
  chosen.font.setPointSize(28);
  chosen.color = Qt::yellow;
  chosen.codePage = 1251;
  f.prompts.fontChoice = chosen;
  f.fmMain->SetSubtitleFont1->trigger();
  for (const SubtitleLabel* label : {f.fmMain->lbSubtitle, f.fmSub->lbSub}) {
    QCOMPARE(label->Font().font.pointSize(), 28);
    QCOMPARE(label->Font().color, QColor(Qt::yellow));
    QCOMPARE(label->Font().codePage, 1251);
  }
}

void SubtitleDisplayTest::fontDialogPresetsTheFaceTheLabelsShow() {
  // A family that is not installed is shown in a stand-in face: the dialog offers that
  // face, so that OK without a change leaves the labels as they look.
  for (const char* family : {"No Such Family Here", "Arial"}) {
    SubtitleFont font = SubtitleFont::Initial();
    font.font.setFamily(family);
    SubtitleFontDialog dialog;
    dialog.Preset(font);
    QCOMPARE(QFontInfo(dialog.Chosen().font).family(), QFontInfo(font.font).family());
  }
}

void SubtitleDisplayTest::bytesAreDecodedByTheScript_data() {
  QTest::addColumn<QByteArray>("bytes");
  QTest::addColumn<int>("codePage");
  QTest::addColumn<QString>("text");
  QTest::newRow("ascii") << QByteArray("plain") << 1251 << "plain";
  QTest::newRow("utf-8 wins") << QByteArray("\xC3\xA9t\xC3\xA9") << 1251
                              << QString::fromUtf8("été");
  QTest::newRow("western") << QByteArray("\xE9t\xE9 \x93q\x94") << 1252
                           << QString::fromUtf8("été “q”");
  QTest::newRow("cyrillic") << QByteArray("\xcf\xf0\xe8\xe2\xe5\xf2") << 1251
                            << QString::fromUtf8("Привет");
  QTest::newRow("central european")
      << QByteArray("\x9a\x9e\xe8") << 1250 << QString::fromUtf8("šžč");
}

void SubtitleDisplayTest::bytesAreDecodedByTheScript() {
  QFETCH(QByteArray, bytes);
  QFETCH(int, codePage);
  QFETCH(QString, text);
  QCOMPARE(DecodeSubtitleText(std::string_view(bytes.constData(), bytes.size()), codePage), text);
}

void SubtitleDisplayTest::linesAreCentredFromTheTopAndCutAtBothSides() {
  SubtitleLabel label;
  label.resize(200, 60);
  label.SetText("ii\r\n" + std::string(60, 'W'));
  QImage shot(label.size(), QImage::Format_RGB32);
  label.render(&shot);
  auto columnsWithInk = [&](int fromRow, int toRow) {
    int first = -1, last = -1;
    for (int x = 0; x < shot.width(); ++x)
      for (int y = fromRow; y < toRow; ++y)
        if (qGray(shot.pixel(x, y)) > 128) {
          if (first < 0) first = x;
          last = x;
          break;
        }
    return std::make_pair(first, last);
  };
  const int lineHeight = QFontMetrics(label.Font().font).lineSpacing();
  const auto [left, right] = columnsWithInk(0, lineHeight);
  QVERIFY(left > 0);
  QVERIFY(std::abs((left + right) - (shot.width() - 1)) <= 3);  // centred
  bool inkAtTop = false;
  for (int y = 0; y < 5 && !inkAtTop; ++y)
    for (int x = 0; x < shot.width(); ++x) inkAtTop |= qGray(shot.pixel(x, y + 2)) > 128;
  QVERIFY(inkAtTop);  // the first line touches the top edge
  const auto [wideLeft, wideRight] = columnsWithInk(lineHeight, 2 * lineHeight);
  QVERIFY(wideLeft <= 2 && wideRight >= shot.width() - 3);  // cut on both sides, no wrap
  QCOMPARE(shot.pixel(0, shot.height() - 1), qRgb(0, 0, 0));
}

}  // namespace captivo::test

int RunSubtitleDisplayTests(int argc, char** argv) {
  captivo::test::SubtitleDisplayTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "subtitle_display_test.moc"
