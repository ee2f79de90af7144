#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include "fake_movix.h"
#include "fake_vobsub.h"
#include "sellan.h"
#include "subtitle_image.h"
#include "window_fixture.h"

namespace captivo::test {

namespace {

using Calls = std::vector<std::string>;

// A window in bitmap mode, the fake library answering with one picture.
struct BitmapFixture : WindowFixture {
  BitmapFixture() {
    VobSub() = FakeVobSub();
    Movix() = FakeMovix();
    fmMain->VobSubMode = true;
    fmMain->SubtitleFrameRate = 25;
    fmMain->tmMovie->start();
  }
  // A picture of one colour with opacity `alpha`.
  void Picture(int32_t index, int width, int height, uint8_t b, uint8_t g, uint8_t r,
               uint8_t alpha) {
    VobSub().due = true;
    VobSub().index = index;
    VobSub().pixels.clear();
    for (int i = 0; i < width * height; ++i)
      VobSub().pixels.insert(VobSub().pixels.end(), {b, g, r, alpha});
    const int32_t rect[4] = {30, 400, 30 + width, 400 + height};
    std::copy(rect, rect + 4, VobSub().rect);
  }
  QRgb Strip(int x, int y) { return fmMain->imSubtitle->Surface().pixel(x, y); }
};

}  // namespace

class BitmapDisplayTest : public QObject {
  Q_OBJECT

 private slots:
  void pixelsAreCompositedOverBlack_data();
  void pixelsAreCompositedOverBlack();
  void widePictureIsCentredAndCutOnBothSides();
  void tallPictureKeepsItsTopRows();
  void aPictureIsFetchedOncePerShowing();
  void clockAsksForTheSubtitlePositionInMilliseconds();
  void resizingTheStripRedrawsThePicture();
  void languageListAndChoice();
  void vobSubSetsAreRecognisedBesideTheirSibling();
};

void BitmapDisplayTest::pixelsAreCompositedOverBlack_data() {
  QTest::addColumn<QList<int>>("bgra");
  QTest::addColumn<QList<int>>("shown");
  QTest::newRow("opaque white") << QList<int>{255, 255, 255, 255} << QList<int>{254, 254, 254};
  QTest::newRow("half") << QList<int>{50, 100, 200, 128} << QList<int>{25, 50, 100};
  QTest::newRow("transparent") << QList<int>{90, 80, 70, 0} << QList<int>{0, 0, 0};
}

void BitmapDisplayTest::pixelsAreCompositedOverBlack() {
  QFETCH(QList<int>, bgra);
  QFETCH(QList<int>, shown);
  BitmapFixture f;
  f.Picture(1, 4, 2, bgra[0], bgra[1], bgra[2], bgra[3]);
  const std::vector<uint8_t> delivered = VobSub().pixels;
  f.fmMain->tmMovieTimer();
  const int x = (f.fmMain->imSubtitle->width() - 4) / 2;
  QCOMPARE(f.Strip(x, 0), qRgb(shown[2], shown[1], shown[0]));
  QCOMPARE(f.fmSub->imSub->Surface().pixel((f.fmSub->imSub->width() - 4) / 2 + 3, 1),
           qRgb(shown[2], shown[1], shown[0]));
  QCOMPARE(VobSub().pixels, delivered);  // the library's block is left as it was
}

void BitmapDisplayTest::widePictureIsCentredAndCutOnBothSides() {
  BitmapFixture f;
  f.fmMain->SetClientSize(500, f.fmMain->ClientHeight());
  QTest::qWait(10);
  QCOMPARE(f.fmMain->imSubtitle->width(), 500);
  // 600 pixels, each column's blue byte telling its x: drawn from x = -50.
  f.Picture(1, 600, 2, 0, 0, 0, 255);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 600; ++x)
      VobSub().pixels[(y * 600 + x) * 4] = static_cast<uint8_t>(x % 256);
  f.fmMain->tmMovieTimer();
  QCOMPARE(qBlue(f.Strip(0, 0)), 50 * 255 / 256);
  QCOMPARE(qBlue(f.Strip(499, 1)), (549 % 256) * 255 / 256);
}

void BitmapDisplayTest::tallPictureKeepsItsTopRows() {
  BitmapFixture f;
  f.Picture(1, 10, 200, 255, 255, 255, 255);
  f.fmMain->tmMovieTimer();
  const int x = (f.fmMain->imSubtitle->width() - 10) / 2;
  QCOMPARE(f.fmMain->imSubtitle->height(), 83);
  QCOMPARE(f.Strip(x, 0), qRgb(254, 254, 254));
  QCOMPARE(f.Strip(x, 82), qRgb(254, 254, 254));
  QCOMPARE(f.fmSub->imSub->Surface().pixel((1016 - 10) / 2, 172), qRgb(254, 254, 254));
  QCOMPARE(f.Strip(x - 1, 0), qRgb(0, 0, 0));
}

void BitmapDisplayTest::aPictureIsFetchedOncePerShowing() {
  BitmapFixture f;
  auto fetches = [] {
    const Calls calls = VobSub().Take();
    return std::count(calls.begin(), calls.end(), "GetDataPointer");
  };
  f.Picture(7, 4, 2, 255, 255, 255, 255);
  for (int i = 0; i < 5; ++i) f.fmMain->tmMovieTimer();
  QCOMPARE(fetches(), 1);  // 7 is fetched once however long it stays
  VobSub().due = false;
  f.fmMain->tmMovieTimer();
  QCOMPARE(f.Strip(f.fmMain->imSubtitle->width() / 2, 0), qRgb(0, 0, 0));  // a gap: black
  QCOMPARE(f.fmMain->LastVobSubIndex, -1);
  f.Picture(8, 4, 2, 255, 255, 255, 255);
  f.fmMain->tmMovieTimer();
  f.fmMain->tmMovieTimer();
  f.Picture(7, 4, 2, 255, 255, 255, 255);  // seeking back into 7 draws it again
  f.fmMain->tmMovieTimer();
  QCOMPARE(fetches(), 2);
  QVERIFY(!f.fmMain->lbSubtitle->isVisible());
  QVERIFY(f.fmMain->imSubtitle->isVisible());
}

void BitmapDisplayTest::clockAsksForTheSubtitlePositionInMilliseconds() {
  BitmapFixture f;
  f.fmMain->SubtitleFrameRate = 23.976;
  Movix().position = 2400;
  f.fmMain->tmMovieTimer();
  QCOMPARE(VobSub().Take().front(), std::string("GetFrame 100100"));
  // Without a frame rate there is no time to ask for.
  f.fmMain->SubtitleFrameRate = 0;
  f.fmMain->tmMovieTimer();
  QVERIFY(VobSub().Take().empty());
}

void BitmapDisplayTest::resizingTheStripRedrawsThePicture() {
  BitmapFixture f;
  f.Picture(3, 4, 2, 255, 255, 255, 255);
  f.fmMain->tmMovieTimer();
  f.fmMain->SetClientSize(700, f.fmMain->ClientHeight());
  QTest::qWait(10);
  QCOMPARE(f.fmMain->LastVobSubIndex, -1);
  QCOMPARE(f.Strip(348, 0), qRgb(0, 0, 0));  // the renewed strip is blank...
  f.fmMain->tmMovieTimer();
  QCOMPARE(f.Strip(348, 0), qRgb(254, 254, 254));  // ...until the next tick, at the new centre
}

void BitmapDisplayTest::languageListAndChoice() {
  BitmapFixture f;
  auto choose = [&](std::vector<std::string> languages, int row) {
    VobSub().languages = std::move(languages);
    QStringList items;
    f.prompts.onExec = [&](QDialog* dialog) {
      auto* sellan = dynamic_cast<TfmSelLan*>(dialog);
      for (int i = 0; i < sellan->ListBox1->count(); ++i)
        items << sellan->ListBox1->item(i)->text();
      if (row >= 0) sellan->ListBox1->setCurrentRow(row);
      if (row != -2) sellan->Button1->click();  // -2: closed with the close box
      return 0;
    };
    VobSub().Take();
    f.fmMain->SelectVobSubLanguage();
    return std::make_pair(items, VobSub().Take().back());
  };
  auto [items, set] = choose({"English", "", "(Not detected)"}, 0);
  QCOMPARE(items, QStringList({"0 - English"}));
  QCOMPARE(set, std::string("SetCurrentLang 0"));
  std::vector<std::string> twelve(13, "(Not detected)");
  twelve[3] = "German";
  twelve[12] = "French";
  std::tie(items, set) = choose(twelve, 1);
  QCOMPARE(items, QStringList({"3 - German", "12 - French"}));
  QCOMPARE(set, std::string("SetCurrentLang 12"));
  std::tie(items, set) = choose(twelve, -1);  // OK with nothing chosen
  QCOMPARE(set, std::string("SetCurrentLang 0"));
  std::tie(items, set) = choose(twelve, -2);
  QCOMPARE(set, std::string("SetCurrentLang 0"));
  std::tie(items, set) = choose({}, -1);
  QVERIFY(items.isEmpty());
  QCOMPARE(set, std::string("SetCurrentLang 0"));
}

void BitmapDisplayTest::vobSubSetsAreRecognisedBesideTheirSibling() {
  BitmapFixture f;
  VobSub().languages = {"English"};
  f.prompts.onExec = [](QDialog*) { return 0; };
  const std::string base = (f.dir.Path() / "Film").string();
  f.dir.Write("Film.idx", "# index\n");
  f.dir.Write("Film.sub", "{1}{2}text\n");
  f.dir.Write("Film.IFO", "");
  for (const char* extension : {".sub", ".idx", ".IFO"}) {
    f.fmMain->VobSubMode = false;
    f.fmMain->n003->trigger();
    f.fmMain->OpenSubtitleFile(base + extension);
    QVERIFY(f.fmMain->VobSubMode);
    const Calls calls = VobSub().Take();
    QCOMPARE(calls.front(), "LoadVobSubFile " + base);
    QVERIFY(f.fmMain->SameAsMovie1->isChecked());
    QCOMPARE(QString::fromStdString(f.fmMain->Subtitles.SubtitleFileName),
             QString::fromStdString(base + extension));
  }
  f.fmMain->ApplicationEvents1Idle();
  QVERIFY(f.fmMain->ChangeSubtitleLanguage1->isEnabled());
  f.fmMain->ChangeSubtitleLanguage1->trigger();  // the same set, the language asked again
  QCOMPARE(VobSub().Take().front(), "LoadVobSubFile " + base);
  // A ".sub" alone is text, and so is an ".idx" without its ".sub".
  f.fmMain->OpenSubtitleFile(f.dir.Write("alone.sub", "{5}{6}text\n"));
  QVERIFY(!f.fmMain->VobSubMode);
  QCOMPARE(f.fmMain->Subtitles.Text(0), std::string("text"));
  f.prompts.messages.clear();
  f.fmMain->OpenSubtitleFile(f.dir.Write("lonely.idx", "# index\n"));
  QVERIFY(!f.fmMain->VobSubMode);
  QCOMPARE(f.prompts.messages.size(), size_t{1});  // unknown format
  QVERIFY(VobSub().Take().empty());
}

}  // namespace captivo::test

int RunBitmapDisplayTests(int argc, char** argv) {
  captivo::test::BitmapDisplayTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "bitmap_display_test.moc"
