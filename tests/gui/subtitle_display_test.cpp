#include <QImage>
#include <QPainter>
#include <QtTest>

#include "font_dialog.h"
#include "subtitle_display.h"
#include "subtitle_image.h"
#include "subtitle_label.h"
#include "subtitle_surface.h"
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
  void rightToLeftLinesReadFromTheRight();
  void linesAreCentredFromTheTopAndCutAtBothSides();
};

void SubtitleDisplayTest::textGoesToBothLabels() {
  SubtitleSurface strip, overlay;
  SubtitleDisplay display(strip, overlay);
  display.ShowText("First\r\nSecond");
  QCOMPARE(strip.label->Lines(), QStringList({"First", "Second"}));
  QCOMPARE(overlay.label->Lines(), QStringList({"First", "Second"}));
  display.ShowText("");
  QVERIFY(strip.label->Lines().isEmpty());
  QVERIFY(overlay.label->Lines().isEmpty());
  display.ShowText("a\rb\nc");  // a lone CR or LF starts a line too
  QCOMPARE(overlay.label->Lines(), QStringList({"a", "b", "c"}));
}

void SubtitleDisplayTest::viewSwitchesBetweenLabelsAndImages() {
  // In the window: the first tick of a text store shows the labels.
  WindowFixture f;
  f.fmSub->show();
  f.Tick();
  QVERIFY(f.StripText().isVisible() && !f.StripImage().isVisible());
  QVERIFY(f.fmSub->lbSub->isVisible() && !f.fmSub->imSub->isVisible());
  QVERIFY(f.StripText().Lines().isEmpty());  // an empty store blanks the start-up text
  // And both ways on the two surfaces.
  SubtitleSurface strip, overlay;
  SubtitleDisplay display(strip, overlay);
  strip.show();
  overlay.show();
  for (bool bitmap : {true, false}) {
    display.SetView(bitmap);
    QCOMPARE(strip.label->isVisible(), !bitmap);
    QCOMPARE(strip.image->isVisible(), bitmap);
    QCOMPARE(overlay.label->isVisible(), !bitmap);
    QCOMPARE(overlay.image->isVisible(), bitmap);
  }
}

void SubtitleDisplayTest::fontDialogOkAndCancel() {
  WindowFixture f;
  const SubtitleFont before = f.StripText().Font();
  f.Trigger("SetSubtitleFont1");  // cancelled
  QCOMPARE(f.StripText().Font().font, before.font);
  QCOMPARE(f.StripText().Font().color, before.color);

  SubtitleFont chosen = before;
  chosen.font.setPointSize(28);
  chosen.color = Qt::yellow;
  chosen.codePage = 1251;
  f.prompts.fontChoice = chosen;
  f.Trigger("SetSubtitleFont1");
  for (const SubtitleLabel* label : {&f.StripText(), f.fmSub->lbSub}) {
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
  QTest::addColumn<QByteArray>("detected");
  QTest::addColumn<QString>("text");
  const QByteArray none;
  QTest::newRow("ascii") << QByteArray("plain") << 1251 << none << "plain";
  QTest::newRow("utf-8 wins") << QByteArray("\xC3\xA9t\xC3\xA9") << 1251 << none
                              << QString::fromUtf8("été");
  QTest::newRow("western") << QByteArray("\xE9t\xE9 \x93q\x94") << 1252 << none
                           << QString::fromUtf8("été “q”");
  QTest::newRow("cyrillic") << QByteArray("\xcf\xf0\xe8\xe2\xe5\xf2") << 1251 << none
                            << QString::fromUtf8("Привет");
  QTest::newRow("central european")
      << QByteArray("\x9a\x9e\xe8") << 1250 << none << QString::fromUtf8("šžč");
  // A code page found in the file reads it while the script is the Western one.
  QTest::newRow("found cyrillic") << QByteArray("\xcf\xf0\xe8\xe2\xe5\xf2") << 1252
                                  << QByteArray("windows-1251") << QString::fromUtf8("Привет");
  QTest::newRow("found korean") << QByteArray("\xbe\xc8\xb3\xe7") << 1252
                                << QByteArray("windows-949") << QString::fromUtf8("안녕");
  QTest::newRow("found japanese") << QByteArray("\x93\xfa\x96\x7b") << 1252
                                  << QByteArray("Shift_JIS") << QString::fromUtf8("日本");
  QTest::newRow("found koi8-r") << QByteArray("\xf0\xd2\xc9\xd7\xc5\xd4") << 1252
                                << QByteArray("KOI8-R") << QString::fromUtf8("Привет");
  QTest::newRow("utf-8 over found") << QByteArray("\xC3\xA9t\xC3\xA9") << 1252
                                    << QByteArray("windows-1251") << QString::fromUtf8("été");
  // A script the user chose decides.
  QTest::newRow("chosen script") << QByteArray("\xcf\xf0\xe8\xe2\xe5\xf2") << 1250
                                 << QByteArray("windows-1251") << QString::fromUtf8("Ďđčâĺň");
}

void SubtitleDisplayTest::bytesAreDecodedByTheScript() {
  QFETCH(QByteArray, bytes);
  QFETCH(int, codePage);
  QFETCH(QByteArray, detected);
  QFETCH(QString, text);
  QCOMPARE(
      DecodeSubtitleText(std::string_view(bytes.constData(), bytes.size()), codePage, detected),
      text);
}

void SubtitleDisplayTest::rightToLeftLinesReadFromTheRight() {
  // Hebrew and Arabic with their end punctuation: drawn right to left, the marks go to the
  // line's left end; a left-to-right drawing would put them at its right.
  for (const char* utf8 : {"שלום, מה שלומך?!!", "مرحبا، كيف حالك؟!!"}) {
    const QString line = QString::fromUtf8(utf8);
    SubtitleLabel label;
    label.resize(320, 40);
    label.SetText(utf8);
    QImage shown(label.size(), QImage::Format_RGB32);
    label.render(&shown);
    auto drawn = [&](Qt::LayoutDirection direction) {
      QImage image(label.size(), QImage::Format_RGB32);
      image.fill(Qt::black);
      QPainter painter(&image);
      painter.setFont(label.Font().font);
      painter.setPen(label.Font().color);
      painter.setLayoutDirection(direction);
      const QFontMetrics metrics(label.Font().font);
      painter.drawText(
          QPoint((image.width() - metrics.horizontalAdvance(line)) / 2, metrics.ascent()), line);
      return image;
    };
    QVERIFY2(drawn(Qt::RightToLeft) != drawn(Qt::LeftToRight), utf8);  // the test tells them apart
    QVERIFY2(shown == drawn(Qt::RightToLeft), utf8);
  }
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
