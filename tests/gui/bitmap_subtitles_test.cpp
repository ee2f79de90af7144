#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include "bitmap_subtitles.h"
#include "fake_movix.h"
#include "fake_vobsub.h"
#include "sellan.h"
#include "subtitle_display.h"
#include "subtitle_image.h"
#include "subtitle_label.h"
#include "subtitle_surface.h"
#include "vobsub_library.h"
#include "window_fixture.h"

namespace captivo::test {

namespace {

using Calls = std::vector<std::string>;

int64_t Fetches() {
  const Calls calls = VobSub().Take();
  return std::count(calls.begin(), calls.end(), "GetDataPointer");
}

// The two surfaces at their start-up sizes, and the bitmap subtitles drawn on them.
struct Surfaces {
  Surfaces() {
    VobSub() = FakeVobSub();
    strip.resize(550, 83);
    overlay.resize(1016, 173);
    strip.show();
    overlay.show();
  }
  QRgb Strip(int x, int y) { return strip.image->Surface().pixel(x, y); }
  QRgb Overlay(int x, int y) { return overlay.image->Surface().pixel(x, y); }
  SubtitleSurface strip, overlay;
  SubtitleDisplay display{strip, overlay};
  BitmapSubtitles bitmaps{display};
  VobSubLibrary library;
};

// A window playing a 25 fps movie with a VobSub set loaded beside it.
struct BitmapFixture : WindowFixture {
  explicit BitmapFixture(int32_t rate = 25000) {
    VobSub() = FakeVobSub();
    Movix() = FakeMovix();
    Movix().frameRate = rate;
    Movix().width = 640;
    Movix().height = 272;
    prompts.files.push_back(QString::fromStdString(dir.Write("film.avi", "movie")));
    Trigger("PlayFile1");
    LoadSubtitle(WriteSet("Film"));
    VobSub().Take();
  }
  // A set's two files; the path of its ".sub".
  std::string WriteSet(const std::string& name) {
    dir.Write(name + ".idx", "# index\n");
    return dir.Write(name + ".sub", "");
  }
  QRgb Strip(int x, int y) { return StripImage().Surface().pixel(x, y); }
};

}  // namespace

class BitmapSubtitlesTest : public QObject {
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

void BitmapSubtitlesTest::pixelsAreCompositedOverBlack_data() {
  QTest::addColumn<QList<int>>("bgra");
  QTest::addColumn<QList<int>>("shown");
  QTest::newRow("opaque white") << QList<int>{255, 255, 255, 255} << QList<int>{254, 254, 254};
  QTest::newRow("half") << QList<int>{50, 100, 200, 128} << QList<int>{25, 50, 100};
  QTest::newRow("transparent") << QList<int>{90, 80, 70, 0} << QList<int>{0, 0, 0};
}

void BitmapSubtitlesTest::pixelsAreCompositedOverBlack() {
  QFETCH(QList<int>, bgra);
  QFETCH(QList<int>, shown);
  Surfaces s;
  VobSub().DuePicture(1, 4, 2, bgra[0], bgra[1], bgra[2], bgra[3]);
  const std::vector<uint8_t> delivered = VobSub().pixels;
  s.bitmaps.ShowAt(s.library, 0);
  QCOMPARE(s.Strip((550 - 4) / 2, 0), qRgb(shown[2], shown[1], shown[0]));
  QCOMPARE(s.Overlay((1016 - 4) / 2 + 3, 1), qRgb(shown[2], shown[1], shown[0]));
  QCOMPARE(VobSub().pixels, delivered);  // the library's block is left as it was
}

void BitmapSubtitlesTest::widePictureIsCentredAndCutOnBothSides() {
  Surfaces s;
  s.strip.resize(500, 83);
  // 600 pixels, each column's blue byte telling its x: drawn from x = -50.
  VobSub().DuePicture(1, 600, 2, 0, 0, 0, 255);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 600; ++x)
      VobSub().pixels[(y * 600 + x) * 4] = static_cast<uint8_t>(x % 256);
  s.bitmaps.ShowAt(s.library, 0);
  QCOMPARE(qBlue(s.Strip(0, 0)), 50 * 255 / 256);
  QCOMPARE(qBlue(s.Strip(499, 1)), (549 % 256) * 255 / 256);
}

void BitmapSubtitlesTest::tallPictureKeepsItsTopRows() {
  Surfaces s;
  VobSub().DuePicture(1, 10, 200, 255, 255, 255, 255);
  s.bitmaps.ShowAt(s.library, 0);
  const int x = (550 - 10) / 2;
  QCOMPARE(s.Strip(x, 0), qRgb(254, 254, 254));
  QCOMPARE(s.Strip(x, 82), qRgb(254, 254, 254));
  QCOMPARE(s.Overlay((1016 - 10) / 2, 172), qRgb(254, 254, 254));
  QCOMPARE(s.Strip(x - 1, 0), qRgb(0, 0, 0));
}

void BitmapSubtitlesTest::aPictureIsFetchedOncePerShowing() {
  Surfaces s;
  VobSub().DuePicture(7, 4, 2, 255, 255, 255, 255);
  for (int i = 0; i < 5; ++i) s.bitmaps.ShowAt(s.library, i * 100);
  QCOMPARE(Fetches(), 1);  // 7 is fetched once however long it stays
  VobSub().due = false;
  s.bitmaps.ShowAt(s.library, 600);
  QCOMPARE(s.Strip(275, 0), qRgb(0, 0, 0));  // a gap: black
  VobSub().DuePicture(8, 4, 2, 255, 255, 255, 255);
  s.bitmaps.ShowAt(s.library, 700);
  s.bitmaps.ShowAt(s.library, 800);
  VobSub().DuePicture(7, 4, 2, 255, 255, 255, 255);  // seeking back into 7 draws it again
  s.bitmaps.ShowAt(s.library, 100);
  QCOMPARE(Fetches(), 2);
  // After a gap the same picture is fetched anew.
  VobSub().due = false;
  s.bitmaps.ShowAt(s.library, 900);
  VobSub().DuePicture(7, 4, 2, 255, 255, 255, 255);
  s.bitmaps.ShowAt(s.library, 100);
  QCOMPARE(Fetches(), 1);
}

void BitmapSubtitlesTest::clockAsksForTheSubtitlePositionInMilliseconds() {
  BitmapFixture f(23976);
  Movix().position = 2400;
  f.Tick();
  QCOMPARE(VobSub().Take().front(), std::string("GetFrame 100100"));
  QVERIFY(!f.StripText().isVisible());
  QVERIFY(f.StripImage().isVisible());
  // Without a frame rate there is no time to ask for: a sound file has none.
  Movix().frameRate = 0;
  f.prompts.files.push_back(QString::fromStdString(f.dir.Write("sound.wav", "sound")));
  f.Trigger("PlayFile1");
  VobSub().Take();
  f.Tick();
  QVERIFY(VobSub().Take().empty());
}

void BitmapSubtitlesTest::resizingTheStripRedrawsThePicture() {
  BitmapFixture f;
  VobSub().DuePicture(3, 4, 2, 255, 255, 255, 255);
  f.Tick();
  QCOMPARE(Fetches(), 1);
  f.ResizeClient(700, f.ClientSize().height());
  QTest::qWait(10);
  QCOMPARE(f.Strip(348, 0), qRgb(0, 0, 0));  // the renewed strip is blank...
  f.Tick();
  QCOMPARE(Fetches(), 1);                          // ...the same picture fetched again...
  QCOMPARE(f.Strip(348, 0), qRgb(254, 254, 254));  // ...and drawn at the new centre
}

void BitmapSubtitlesTest::languageListAndChoice() {
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
    f.LoadSubtitle(f.WriteSet("Film"));
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

void BitmapSubtitlesTest::vobSubSetsAreRecognisedBesideTheirSibling() {
  BitmapFixture f;
  VobSub().languages = {"English"};
  const std::string base = (f.dir.Path() / "Film").string();
  f.dir.Write("Film.IFO", "");
  for (const char* extension : {".sub", ".idx", ".IFO"}) {
    f.LoadSubtitle(f.dir.Write("text.srt", "1\n00:00:01,000 --> 00:00:02,000\nx\n"));
    f.Trigger("n003");
    f.LoadSubtitle(base + extension);
    const Calls calls = VobSub().Take();
    QCOMPARE(calls.front(), "LoadVobSubFile " + base);
    QVERIFY(f.Action("SameAsMovie1")->isChecked());
    f.Idle();
    QVERIFY(f.Action("ChangeSubtitleLanguage1")->isEnabled());
    f.Trigger("ChangeSubtitleLanguage1");  // the same set, the language asked again
    QCOMPARE(VobSub().Take().front(), "LoadVobSubFile " + base);
  }
  // A ".sub" alone is text, and so is an ".idx" without its ".sub".
  f.LoadSubtitle(f.dir.Write("alone.sub", "{5}{6}text\n"));
  Movix().position = 5;
  f.Tick();
  QCOMPARE(f.StripText().Text(), std::string("text"));
  f.Idle();
  QVERIFY(!f.Action("ChangeSubtitleLanguage1")->isEnabled());
  f.prompts.messages.clear();
  f.LoadSubtitle(f.dir.Write("lonely.idx", "# index\n"));
  QCOMPARE(f.prompts.messages.size(), size_t{1});  // unknown format
  QVERIFY(VobSub().Take().empty());
}

}  // namespace captivo::test

int RunBitmapSubtitlesTests(int argc, char** argv) {
  captivo::test::BitmapSubtitlesTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "bitmap_subtitles_test.moc"
