// The menus of a movie's own tracks, listed from a Matroska file made here, and the audio
// track chosen reaching the engine.
#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QtTest>

#include "main_window.h"
#include "matroska_writer.h"
#include "playing_fixture.h"
#include "subtitle_image.h"
#include "subtitle_label.h"
#include "synchronize.h"

namespace captivo::test {

namespace {

MatroskaTrack Track(const char* codecId, const char* language, int type) {
  MatroskaTrack track;
  track.codecId = codecId;
  track.language = language;
  track.type = type;
  return track;
}

constexpr int kSubtitle = 0x11;
constexpr int kAudio = 0x02;

// The texts of a menu's items, separators left out.
QStringList ItemTexts(const QMenu& menu) {
  QStringList texts;
  for (const QAction* item : menu.actions()) {
    if (!item->isSeparator()) texts << item->text();
  }
  return texts;
}

struct TracksFixture : WindowFixture {
  explicit TracksFixture(const std::string& settings = {}) : WindowFixture(settings) {
    Movix() = FakeMovix();
    Movix().frameRate = 25000;
    Movix().duration = 90000;
    Movix().width = 640;
    Movix().height = 272;
  }
  QMenu& Menu(const char* name) const { return *fmMain->findChild<QMenu*>(name); }
  // Opens a Matroska file of these tracks through Play File and waits for its list.
  void OpenMatroska(const std::vector<MatroskaTrack>& tracks,
                    const std::vector<MatroskaBlock>& blocks = {{0, 1000, 500, "line"}}) {
    prompts.files.push_back(
        QString::fromStdString(dir.Write("film.mkv", MatroskaFile(tracks, blocks))));
    Trigger("PlayFile1");
    QTRY_VERIFY(Menu("AudioTrack1").isEnabled() || Menu("MovieSubtitles1").isEnabled());
  }
};

}  // namespace

class TrackMenusTest : public QObject {
  Q_OBJECT

 private slots:
  void menusListTheMovieTracks();
  void preferredAudioReachesTheEngineAndTheMenuSwitchesIt();
  void aMovieWithoutTracksDisablesBothMenus();
  void theTrackInAPreferredLanguageShowsAndSwitches();
  void theChosenTrackAndItsTimingComeBack();
  void thousandsOfTracksGiveAMenuThatFits();
  void aBitmapTrackShowsScaledAsTheMovieAndCentred();
  void noneAndTheAudioTrackChosenComeBack();
};

// No track in a preferred language: none is chosen, whatever the system's language.
constexpr const char* kGermanOnly = "[Subtitles]\nLanguages=de\n[Audio]\nLanguages=de\n";

void TrackMenusTest::menusListTheMovieTracks() {
  TracksFixture f(kGermanOnly);
  f.OpenMatroska({Track("S_TEXT/UTF8", "eng", kSubtitle), Track("S_TEXT/ASS", "fre", kSubtitle),
                  Track("A_AC3", "eng", kAudio)});
  QCOMPARE(ItemTexts(f.Menu("MovieSubtitles1")),
           QStringList({"None", "English (SubRip)", "French (ASS)"}));
  QVERIFY(f.Menu("MovieSubtitles1").actions().front()->isChecked());  // None until chosen
  QCOMPARE(ItemTexts(f.Menu("AudioTrack1")), QStringList({"English (AC-3)"}));
  // Both come after the items already in their menus.
  const QList<QAction*> menus = f.fmMain->menuBar()->actions();
  QCOMPARE(menus[0]->menu()->actions().back(), f.Menu("AudioTrack1").menuAction());
  QCOMPARE(menus[1]->menu()->actions().back(), f.Menu("MovieSubtitles1").menuAction());
}

void TrackMenusTest::preferredAudioReachesTheEngineAndTheMenuSwitchesIt() {
  TracksFixture f("[Audio]\nLanguages=fr\n");
  f.OpenMatroska({Track("A_AC3", "eng", kAudio), Track("S_TEXT/UTF8", "eng", kSubtitle),
                  Track("A_AC3", "fre", kAudio)});
  const QList<QAction*> items = f.Menu("AudioTrack1").actions();
  QCOMPARE(items.size(), 2);
  QVERIFY(items[1]->isChecked());
  QVERIFY(Called(Movix().Take(), "SetAudioTrack 2"));  // the second audio track: French
  items[0]->trigger();
  QVERIFY(items[0]->isChecked());
  QCOMPARE(Movix().Take(), std::vector<std::string>({"SetAudioTrack 1"}));
}

void TrackMenusTest::aMovieWithoutTracksDisablesBothMenus() {
  TracksFixture f(kGermanOnly);
  f.OpenMatroska({Track("S_TEXT/UTF8", "eng", kSubtitle)});
  f.OpenMovie("film.avi");  // not a movie the tracks library can list
  QTRY_COMPARE(ItemTexts(f.Menu("MovieSubtitles1")), QStringList({"None"}));
  QVERIFY(!f.Menu("MovieSubtitles1").isEnabled());
  QVERIFY(!f.Menu("AudioTrack1").isEnabled());
  for (const std::string& call : Movix().Take()) QVERIFY(call.rfind("SetAudioTrack", 0) != 0);
}

void TrackMenusTest::theTrackInAPreferredLanguageShowsAndSwitches() {
  TracksFixture f("[Subtitles]\nLanguages=fr\n");
  // At 25 fps the lines last from frame 125 to frame 150.
  f.OpenMatroska({Track("S_TEXT/UTF8", "eng", kSubtitle), Track("S_TEXT/UTF8", "fre", kSubtitle)},
                 {{0, 5000, 1000, "hello"}, {1, 5000, 1000, "bonjour"}});
  const QList<QAction*> items = f.Menu("MovieSubtitles1").actions();
  QVERIFY(items[2]->isChecked());
  QTRY_COMPARE(f.ShownAt(130), std::string("bonjour"));
  QCOMPARE(f.ShownAt(160), std::string());
  // The offset moves a track's lines as it moves a file's: 2000 ms is 50 frames earlier.
  f.fmSynchronize->seSyn->setValue(2000);
  QCOMPARE(f.ShownAt(80), std::string("bonjour"));
  QCOMPARE(f.ShownAt(130), std::string());
  f.fmSynchronize->seSyn->setValue(0);

  items[1]->trigger();
  QTRY_COMPARE(f.ShownAt(130), std::string("hello"));
  items[0]->trigger();  // None
  QCOMPARE(f.ShownAt(130), std::string());

  items[1]->trigger();
  QTRY_COMPARE(f.ShownAt(130), std::string("hello"));
  // A subtitle file loaded replaces the track, and the menu says None.
  f.LoadSubtitle(f.dir.Write("other.srt", "1\n00:00:05,000 --> 00:00:06,000\nfrom the file\n"));
  QVERIFY(items[0]->isChecked());
  QCOMPARE(f.ShownAt(130), std::string("from the file"));
}

void TrackMenusTest::theChosenTrackAndItsTimingComeBack() {
  TracksFixture f("[Subtitles]\nLanguages=fr\n");
  const std::vector<MatroskaTrack> tracks = {Track("S_TEXT/UTF8", "eng", kSubtitle),
                                             Track("S_TEXT/UTF8", "fre", kSubtitle)};
  const std::vector<MatroskaBlock> lines = {{0, 5000, 1000, "hello"}, {1, 5000, 1000, "bonjour"}};
  f.OpenMatroska(tracks, lines);
  f.Menu("MovieSubtitles1").actions()[1]->trigger();  // English over the preferred French
  f.fmSynchronize->seSyn->setValue(2000);
  f.OpenMovie("other.avi");  // leaving the movie remembers it
  f.OpenMatroska(tracks, lines);
  QVERIFY(f.Menu("MovieSubtitles1").actions()[1]->isChecked());
  QTRY_COMPARE(f.ShownAt(80), std::string("hello"));  // 2000 ms early, as left
}

void TrackMenusTest::thousandsOfTracksGiveAMenuThatFits() {
  TracksFixture f(kGermanOnly);
  f.OpenMatroska(std::vector<MatroskaTrack>(3000, Track("S_TEXT/UTF8", "eng", kSubtitle)));
  const QStringList texts = ItemTexts(f.Menu("MovieSubtitles1"));
  QCOMPARE(texts.size(), 1 + 100 + 1);
  QCOMPARE(texts.back(), QString("2900 more tracks"));
}

void TrackMenusTest::noneAndTheAudioTrackChosenComeBack() {
  TracksFixture f("[Subtitles]\nLanguages=fr\n[Audio]\nLanguages=fr\n");
  const std::vector<MatroskaTrack> tracks = {Track("S_TEXT/UTF8", "fre", kSubtitle),
                                             Track("A_AC3", "fre", kAudio),
                                             Track("A_AC3", "eng", kAudio)};
  const std::vector<MatroskaBlock> lines = {{0, 5000, 1000, "bonjour"}};
  f.OpenMatroska(tracks, lines);
  // The preferred ones first.
  QVERIFY(f.Menu("MovieSubtitles1").actions()[1]->isChecked());
  QVERIFY(f.Menu("AudioTrack1").actions()[0]->isChecked());
  f.Menu("MovieSubtitles1").actions()[0]->trigger();  // None
  f.Menu("AudioTrack1").actions()[1]->trigger();      // English
  Movix().Take();
  f.OpenMovie("other.avi");  // leaving the movie remembers both
  f.OpenMatroska(tracks, lines);
  QTRY_VERIFY(f.Menu("AudioTrack1").actions()[1]->isChecked());
  QVERIFY(Called(Movix().Take(), "SetAudioTrack 2"));
  QVERIFY(f.Menu("MovieSubtitles1").actions()[0]->isChecked());
  // A track chosen again is remembered in place of None.
  f.Menu("MovieSubtitles1").actions()[1]->trigger();
  f.OpenMovie("other.avi");
  f.OpenMatroska(tracks, lines);
  QVERIFY(f.Menu("MovieSubtitles1").actions()[1]->isChecked());
  QVERIFY(f.Menu("AudioTrack1").actions()[1]->isChecked());
}

// tracks-more.mkv (made by make-test-media): stream 2 is PGS made for a 1280 x 720 frame, a
// white box of 300 x 60 pixels in a 3-pixel black frame from 1 to 4 s. The movie is shown
// 640 wide (Origin Size), then 1280 (Double Size): the box is half its size, then its own.
void TrackMenusTest::aBitmapTrackShowsScaledAsTheMovieAndCentred() {
  TracksFixture f(kGermanOnly);
  Movix().height = 360;
  f.prompts.files.push_back(QStringLiteral(CAPTIVO_MEDIA_DIR "/tracks-more.mkv"));
  f.Trigger("PlayFile1");
  QTRY_VERIFY(f.Menu("MovieSubtitles1").isEnabled());
  QAction* pgs = f.Menu("MovieSubtitles1").actions()[2];
  QCOMPARE(pgs->text(), QString("Track 2 (PGS)"));
  pgs->trigger();
  SubtitleImage& image = f.StripImage();
  // The colour at `x` on the strip's row `y` after a tick at 2 s (frame 50).
  auto shownAt = [&](int x, int y) {
    f.ShownAt(50);
    return QColor(image.Surface().pixel(x, y)).lightness();
  };
  struct Case {
    const char* view;
    int width;                // of the window and the strip
    int left, right, bottom;  // of the box as drawn, at the top edge
  } cases[] = {
      {"NN1", 640, 320 - 75, 320 + 75, 30},
      {"NN2", 1280, 640 - 150, 640 + 150, 60},
  };
  for (const Case& c : cases) {
    f.Trigger(c.view);
    QTRY_COMPARE(image.width(), c.width);
    QTRY_VERIFY2(shownAt(c.left + 6, 10) > 240, c.view);  // inside the frame: white
    QVERIFY2(shownAt(c.right - 6, c.bottom / 2) > 240, c.view);
    QVERIFY2(shownAt(c.left - 4, 10) < 10, c.view);  // beside the box: black
    QVERIFY2(shownAt(c.right + 4, 10) < 10, c.view);
    if (image.height() > c.bottom + 4) QVERIFY2(shownAt(c.left + 6, c.bottom + 4) < 10, c.view);
  }
  f.ShownAt(125);  // 5 s: the box has gone
  QTRY_VERIFY(shownAt(320, 10) < 10);
}

}  // namespace captivo::test

int RunTrackMenusTests(int argc, char** argv) {
  captivo::test::TrackMenusTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "track_menus_test.moc"
