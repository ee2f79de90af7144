// A second subtitle shown above the first, timed on its own, remembered with the movie,
// and the first laid on it by Synchronize to Second Subtitle.
#include <QImage>
#include <QMenu>
#include <QtTest>
#include <cmath>

#include "fake_vobsub.h"
#include "matroska_writer.h"
#include "subtitle_image.h"
#include "subtitle_label.h"

#include "playing_fixture.h"

namespace captivo::test {

namespace {

// The rows of `label` drawn in a colour near `color` (the inside of the glyphs).
std::vector<int> RowsIn(SubtitleLabel& label, QColor color) {
  const QImage image = label.grab().toImage();
  std::vector<int> rows;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor pixel = image.pixelColor(x, y);
      if (std::abs(pixel.red() - color.red()) + std::abs(pixel.green() - color.green()) +
              std::abs(pixel.blue() - color.blue()) <
          30) {
        rows.push_back(y);
        break;
      }
    }
  }
  return rows;
}

const QColor kFirstColor = Qt::white;
const QColor kSecondColor(255, 225, 110);

// A SubRip file of lines at `starts` seconds, each two seconds long, with `word` and the
// line's number as text.
std::string Lines(const std::vector<int>& starts, const char* word) {
  std::string out;
  for (size_t i = 0; i < starts.size(); ++i) {
    char block[128];
    const int s = starts[i];
    std::snprintf(block, sizeof block, "%zu\n%02d:%02d:%02d,000 --> %02d:%02d:%02d,000\n%s %zu\n\n",
                  i + 1, s / 3600, s / 60 % 60, s % 60, (s + 2) / 3600, (s + 2) / 60 % 60,
                  (s + 2) % 60, word, i + 1);
    out += block;
  }
  return out;
}

struct SecondFixture : Playing {
  SecondFixture() {
    LoadSubtitle(dir.Write("film.srt", Lines({10, 20, 30}, "first")));
    LoadSecond(Lines({10, 20, 30}, "second"));
  }
  void LoadSecond(const std::string& text, const std::string& name = "film.fr.srt") {
    prompts.files.push_back(QString::fromStdString(dir.Write(name, text)));
    Trigger("LoadSecondSubtitle1");
  }
  // Whether the strip shows the second subtitle above the first, or only the first.
  bool BothShown(SubtitleLabel& label) {
    const std::vector<int> second = RowsIn(label, kSecondColor);
    const std::vector<int> first = RowsIn(label, kFirstColor);
    return !second.empty() && !first.empty() && second.back() < first.front();
  }
  SubtitleLabel& Overlay() { return *fmSub->lbSub; }
};

}  // namespace

class SecondSubtitleTest : public QObject {
  Q_OBJECT

 private slots:
  void shownAboveTheFirstInTheStripAndTheOverlay();
  void theStripGrowsToHoldItAndTheRestStays();
  void itsTimingIsItsOwnWhileAdjusted();
  void rememberedWithTheMovie();
  void theFirstIsLaidOnIt();
  void aVobSubSetIsRefused();
  void itsLinesTakeABandAboveTheFirstsPictures();
  void aTextTrackOfTheMovieCanBeIt();
};

void SecondSubtitleTest::shownAboveTheFirstInTheStripAndTheOverlay() {
  SecondFixture f;
  QCOMPARE(f.ShownAt(10 * 25 + 5), std::string("first 1"));
  QVERIFY(f.BothShown(f.StripText()));
  f.Overlay().resize(1016, 173);
  QVERIFY(f.BothShown(f.Overlay()));
  f.ShownAt(5 * 25);  // neither is due
  QVERIFY(RowsIn(f.StripText(), kSecondColor).empty());
  f.Trigger("NoSecondSubtitle1");
  f.ShownAt(10 * 25 + 5);
  QVERIFY(RowsIn(f.StripText(), kSecondColor).empty());
  QVERIFY(!RowsIn(f.StripText(), kFirstColor).empty());
}

void SecondSubtitleTest::theStripGrowsToHoldItAndTheRestStays() {
  Playing f;
  const int strip = f.Part("lbSubParent").height(), picture = f.Part("plMovie").height();
  const int client = f.ClientSize().height();
  f.prompts.files.push_back(QString::fromStdString(f.dir.Write("second.srt", Lines({5}, "s"))));
  f.Trigger("LoadSecondSubtitle1");
  const int grown = f.Part("lbSubParent").height() - strip;
  const QFontMetrics metrics(f.StripText().Font().font);
  QCOMPARE(grown, 2 * metrics.lineSpacing());
  QCOMPARE(f.Part("plMovie").height(), picture);
  QCOMPARE(f.ClientSize().height(), client + grown);
  f.Trigger("NoSecondSubtitle1");
  QCOMPARE(f.Part("lbSubParent").height(), strip);
  QCOMPARE(f.ClientSize().height(), client);
}

void SecondSubtitleTest::itsTimingIsItsOwnWhileAdjusted() {
  SecondFixture f;
  QVERIFY(f.Action("AdjustSecondSubtitle1")->isEnabled());
  f.fmSynchronize->seSyn->setValue(1000);  // the first, a second early
  f.Trigger("AdjustSecondSubtitle1");
  QVERIFY(f.Action("AdjustSecondSubtitle1")->isChecked());
  QCOMPARE(f.Offset(), 0);                  // the dialog shows the second's
  f.fmSynchronize->seSyn->setValue(-3000);  // the second, three seconds late
  f.Trigger("n003");                        // and at 25 fps
  QVERIFY(f.Action("n003")->isChecked());
  // At 9.5 s the first shows and the second not; at 13.5 s the second, not the first.
  QCOMPARE(f.ShownAt(9 * 25 + 12), std::string("first 1"));
  QVERIFY(RowsIn(f.StripText(), kSecondColor).empty());
  QCOMPARE(f.ShownAt(13 * 25 + 12), std::string(""));
  QVERIFY(!RowsIn(f.StripText(), kSecondColor).empty());
  // Line timing times the second's lines now.
  Movix().position = 25 * 25;
  f.Trigger("PreviousLineNow1");  // "second 2", due at 23 s, starts at 25 s
  QCOMPARE(f.Offset(), -5000);
  f.Trigger("AdjustSecondSubtitle1");
  QCOMPARE(f.Offset(), 1000);
  QVERIFY(f.Action("SameAsMovie1")->isChecked());
  f.Trigger("NoSecondSubtitle1");
  QVERIFY(!f.Action("AdjustSecondSubtitle1")->isEnabled());
}

void SecondSubtitleTest::rememberedWithTheMovie() {
  SecondFixture f;
  f.Trigger("AdjustSecondSubtitle1");
  f.fmSynchronize->seSyn->setValue(-2000);
  f.OpenMovie("other.avi");  // the last movie's second subtitle goes with it
  f.ShownAt(10 * 25 + 5);
  QVERIFY(RowsIn(f.StripText(), kSecondColor).empty());
  QVERIFY(!f.Action("AdjustSecondSubtitle1")->isEnabled());
  QCOMPARE(f.Offset(), 0);
  f.OpenMovie("film.avi");
  // The second comes back two seconds late, the first as it was.
  QCOMPARE(f.ShownAt(10 * 25 + 5), std::string("first 1"));
  QVERIFY(RowsIn(f.StripText(), kSecondColor).empty());
  f.ShownAt(12 * 25 + 5);
  QVERIFY(!RowsIn(f.StripText(), kSecondColor).empty());
}

void SecondSubtitleTest::theFirstIsLaidOnIt() {
  Playing f;
  std::vector<int> starts, later;
  uint32_t draw = 7;
  for (int i = 0, start = 60; i < 40; ++i) {
    starts.push_back(start);
    later.push_back(start + 4);
    draw = draw * 1103515245u + 12345u;
    start += 5 + int(draw >> 16) % 9;
  }
  f.LoadSubtitle(f.dir.Write("film.srt", Lines(starts, "first")));
  f.prompts.files.push_back(
      QString::fromStdString(f.dir.Write("film.fr.srt", Lines(later, "second"))));
  f.Trigger("LoadSecondSubtitle1");
  f.Trigger("SyncToSecondSubtitle1");
  QTRY_COMPARE(f.Action("SyncToSecondSubtitle1")->text(),
               QString("Synchronize to Second Subtitle"));
  const QString note = f.fmMain->findChild<StatusBar*>("sbMain")->Note();
  QVERIFY2(note.startsWith("Synchronized to the second subtitle: offset -4,000 ms, 25 fps"),
           qPrintable(note));
  QCOMPARE(f.Offset(), -4000);
  QCOMPARE(f.ShownAt(later[10] * 25 + 2), std::string("first 11"));
}

void SecondSubtitleTest::aVobSubSetIsRefused() {
  Playing f;
  f.dir.Write("set.idx", "# index\n");
  f.prompts.files.push_back(QString::fromStdString(f.dir.Write("set.sub", "")));
  f.Trigger("LoadSecondSubtitle1");
  QCOMPARE(f.fmMain->findChild<StatusBar*>("sbMain")->Note(),
           QString("A VobSub set can only be the first subtitle: load it with Load Subtitle"));
  QVERIFY(!f.Action("AdjustSecondSubtitle1")->isEnabled());
}

void SecondSubtitleTest::itsLinesTakeABandAboveTheFirstsPictures() {
  Playing f;
  VobSub() = FakeVobSub();
  f.dir.Write("film.idx", "# index\n");
  f.LoadSubtitle(f.dir.Write("film.sub", ""));
  VobSub().DuePicture(1, 4, 2, 255, 255, 255, 255);  // white, due throughout
  const QRgb white = qRgb(254, 254, 254);
  SubtitleImage& image = f.StripImage();
  const int middle = (image.width() - 4) / 2;
  f.ShownAt(25);
  QCOMPARE(image.y(), 0);
  QCOMPARE(image.Surface().pixel(middle, 0), white);

  // Two lines of the second subtitle, due from 10 s: a band of two lines, the picture under it.
  f.prompts.files.push_back(QString::fromStdString(
      f.dir.Write("film.fr.srt", "1\n00:00:10,000 --> 00:00:12,000\nun\ndeux\n\n")));
  f.Trigger("LoadSecondSubtitle1");
  f.ShownAt(10 * 25 + 5);
  SubtitleLabel& label = f.StripText();
  const int band = 2 * QFontMetrics(label.Font().font).lineSpacing();
  QVERIFY(label.isVisible());
  QCOMPARE(label.geometry(), QRect(0, 0, image.width(), band));
  QCOMPARE(image.y(), band);
  QCOMPARE(image.height(), f.Part("lbSubParent").height() - band);
  QCOMPARE(image.Surface().pixel(middle, 0), white);  // drawn again in the same tick
  const std::vector<int> rows = RowsIn(label, kSecondColor);
  QVERIFY(!rows.empty() && rows.back() < band);

  // The second line ends: the picture has the whole strip again.
  f.ShownAt(13 * 25);
  QVERIFY(!label.isVisible());
  QCOMPARE(image.y(), 0);
  QCOMPARE(image.Surface().pixel(middle, 0), white);
}

void SecondSubtitleTest::aTextTrackOfTheMovieCanBeIt() {
  WindowFixture f("[Subtitles]\nLanguages=fr\n");
  Movix() = FakeMovix();
  Movix().frameRate = 25000;
  Movix().duration = 90000;
  const auto track = [](const char* codec, const char* language) {
    MatroskaTrack made;
    made.codecId = codec;
    made.language = language;
    made.type = 0x11;
    return made;
  };
  const std::string movie = MatroskaFile({track("S_TEXT/UTF8", "eng"), track("S_TEXT/UTF8", "fre")},
                                         {{0, 5000, 1000, "hello"}, {1, 5000, 1000, "bonjour"}});
  const auto open = [&] {
    f.prompts.files.push_back(QString::fromStdString(f.dir.Write("film.mkv", movie)));
    f.Trigger("PlayFile1");
  };
  open();
  auto& menu = *f.fmMain->findChild<QMenu*>("SecondSubtitle1");
  QTRY_COMPARE(menu.actions().size(), 5);  // Load, None, a line, the two text tracks
  QCOMPARE(menu.actions()[3]->text(), QString("English (SubRip)"));
  menu.actions()[3]->trigger();
  // French first (the preferred language), English above it; 5.2 s is frame 130.
  QTRY_VERIFY(f.ShownAt(130) == "bonjour" && !RowsIn(f.StripText(), kSecondColor).empty());
  QVERIFY(f.Action("AdjustSecondSubtitle1")->isEnabled());
  f.Trigger("AdjustSecondSubtitle1");
  f.fmSynchronize->seSyn->setValue(2000);  // the English two seconds early
  f.OpenMovie("other.avi");
  open();  // and back: both tracks as left
  QTRY_COMPARE(f.ShownAt(80), std::string());
  QTRY_VERIFY((f.ShownAt(80), !RowsIn(f.StripText(), kSecondColor).empty()));
  QTRY_COMPARE(f.ShownAt(130), std::string("bonjour"));
}

}  // namespace captivo::test

int RunSecondSubtitleTests(int argc, char** argv) {
  captivo::test::SecondSubtitleTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "second_subtitle_test.moc"
