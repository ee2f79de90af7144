// The menus of a movie's own tracks, listed from a Matroska file made here, and the audio
// track chosen reaching the engine.
#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QtTest>

#include "fake_speech.h"
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
  // Synchronize to Speech listens to the track that plays (the speech library counts from 0).
  const auto listen = [&f] {
    Speech().Reset();
    f.Trigger("SyncToSpeech1");
    QTRY_COMPARE(f.Action("SyncToSpeech1")->text(), QString("Synchronize to Speech"));
  };
  f.LoadSubtitle(f.dir.Write("film.srt", Srt({10, 20, 30, 40, 50})));
  listen();
  QCOMPARE(Speech().lastTrack, 1);
  items[0]->trigger();
  QVERIFY(items[0]->isChecked());
  QCOMPARE(Movix().Take(), std::vector<std::string>({"SetAudioTrack 1"}));
  listen();
  QCOMPARE(Speech().lastTrack, 0);
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

// Movies made by make-test-media: tracks-more.mkv's PGS track is made for a 1280 x 720
// frame, a white box of 300 x 60 pixels in a black frame from 1 to 4 s; tracks.mkv's DVD
// track for 720 x 480, a box of 200 x 40 from 1 to 5 s. Each movie is shown at Origin Size,
// then at Double Size: the box is scaled as the movie's picture is, and centred.
void TrackMenusTest::aBitmapTrackShowsScaledAsTheMovieAndCentred() {
  const struct Track {
    const char* file;
    int item;  // in Movie Subtitles
    const char* text;
    int movieWidth, movieHeight;
    double boxWidth, boxHeight;  // as drawn at Origin Size
  } tracks[] = {
      {"tracks-more.mkv", 2, "Track 2 (PGS)", 640, 360, 150, 30},  // made for twice the movie
      {"tracks.mkv", 4, "English (DVD)", 720, 480, 200, 40},       // made for the movie
  };
  const struct View {
    const char* item;
    double factor;
  } views[] = {{"NN1", 1}, {"NN2", 2}};
  constexpr int kShown = 50, kGone = 130;  // frames at 25 fps: 2 s and 5.2 s
  for (const Track& t : tracks) {
    TracksFixture f(kGermanOnly);
    Movix().width = t.movieWidth;
    Movix().height = t.movieHeight;
    f.prompts.files.push_back(QString(CAPTIVO_MEDIA_DIR "/") + t.file);
    f.Trigger("PlayFile1");
    QTRY_VERIFY(f.Menu("MovieSubtitles1").isEnabled());
    QAction* item = f.Menu("MovieSubtitles1").actions()[t.item];
    QCOMPARE(item->text(), QString(t.text));
    item->trigger();
    SubtitleImage& image = f.StripImage();
    // The lightness at (x, y) of the strip after a tick at `frame`.
    auto shown = [&](int frame, double x, double y) {
      f.ShownAt(frame);
      return QColor(image.Surface().pixel(qRound(x), qRound(y))).lightness();
    };
    for (const View& v : views) {
      f.Trigger(v.item);
      const double width = t.movieWidth * v.factor;
      QTRY_COMPARE(image.width(), qRound(width));
      const double left = (width - t.boxWidth * v.factor) / 2, right = width - left;
      const double bottom = t.boxHeight * v.factor, inside = 3 * v.factor + 3;
      QTRY_VERIFY2(shown(kShown, left + inside, inside) > 200, t.file);  // white within
      QVERIFY2(shown(kShown, right - inside, bottom / 2) > 200, t.file);
      QVERIFY2(shown(kShown, left - 4, inside) < 20, t.file);  // black beside the box
      QVERIFY2(shown(kShown, right + 4, inside) < 20, t.file);
      if (image.height() > bottom + 4)
        QVERIFY2(shown(kShown, left + inside, bottom + 4) < 20, t.file);  // and below it
      QTRY_VERIFY2(shown(kGone, width / 2, bottom / 2) < 20, t.file);
    }
  }
}

}  // namespace captivo::test

int RunTrackMenusTests(int argc, char** argv) {
  captivo::test::TrackMenusTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "track_menus_test.moc"
