// The keys every player has, timing from the lines the user hears, and the timing
// remembered per movie.
#include <QtTest>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "fake_movix.h"
#include "profile_file.h"
#include "window_fixture.h"

namespace captivo::test {

namespace {

using Calls = std::vector<std::string>;

bool Called(const Calls& calls, const std::string& call) {
  return std::find(calls.begin(), calls.end(), call) != calls.end();
}

// A window playing a movie of `frames` frames at `rate` thousandths of a frame a second.
struct Playing : WindowFixture {
  explicit Playing(int32_t rate = 25000, int32_t frames = 90000, const std::string& settings = {})
      : WindowFixture(settings) {
    Movix() = FakeMovix();
    Movix().frameRate = rate;
    Movix().duration = frames;
    OpenMovie("film.avi");
  }
  int Offset() const { return fmSynchronize->Offset(); }
};

// An SRT whose lines start at `starts` seconds, each shown for a second, "line N" each.
std::string Srt(std::initializer_list<int> starts) {
  std::string out;
  int index = 0;
  for (int start : starts) {
    ++index;
    char block[96];
    std::snprintf(block, sizeof block, "%d\n%02d:%02d:%02d,000 --> %02d:%02d:%02d,000\nline %d\n\n",
                  index, start / 3600, start / 60 % 60, start % 60, (start + 1) / 3600,
                  (start + 1) / 60 % 60, (start + 1) % 60, index);
    out += block;
  }
  return out;
}

}  // namespace

class PlayerCommandsTest : public QObject {
  Q_OBJECT

 private slots:
  void volumeReachesTheLibraryWithTheMovieAndIsSaved();
  void seekKeysMoveByTimeInsideTheFile_data();
  void seekKeysMoveByTimeInsideTheFile();
  void spacePausesResumesAndPlays();
  void lineStartsNowSetsTheOffset();
  void twoLinesFarApartFixTheRate_data();
  void twoLinesFarApartFixTheRate();
  void timingIsRememberedPerMovie();
};

void PlayerCommandsTest::volumeReachesTheLibraryWithTheMovieAndIsSaved() {
  {
    WindowFixture f;
    Movix() = FakeMovix();
    for (int i = 0; i < 4; ++i) f.Trigger("VolumeDown1");
    f.Trigger("Mute1");
    QVERIFY(!Called(Movix().Take(), "SetMute 1"));  // no movie: kept for the next one
    f.OpenMovie("film.avi");
    const Calls calls = Movix().Take();
    const auto volume = std::find(calls.begin(), calls.end(), "SetVolume 80");
    QVERIFY(volume != calls.end());
    QVERIFY(volume < std::find_if(
                         calls.begin(), calls.end(),
                         [](const std::string& c) { return c.rfind("PlayFile", 0) == 0; }));
    QVERIFY(Called(calls, "SetMute 1"));
    for (int i = 0; i < 30; ++i) f.Trigger("VolumeUp1");
    QCOMPARE(Movix().Take().back(), std::string("SetVolume 100"));  // held at the top
    f.Trigger("VolumeDown1");
    f.Trigger("Mute1");
    QCOMPARE(Movix().Take(), Calls({"SetVolume 95", "SetMute 0"}));
    QCOMPARE(f.Action("VolumeUp1")->shortcuts(),
             QList<QKeySequence>({QKeySequence("0"), QKeySequence("Ctrl+Up")}));
    QCOMPARE(f.Action("Mute1")->shortcut(), QKeySequence("M"));
    f.fmMain->close();
    const ProfileFile saved(f.SettingsFile());
    QCOMPARE(saved.Read("Volume", "Level"), std::optional<std::string>("95"));
    QCOMPARE(saved.Read("Volume", "Mute"), std::optional<std::string>("0"));
  }
  Playing f(25000, 90000, "[Volume]\nLevel=35\nMute=1\n");
  const Calls calls = Movix().Take();
  QVERIFY(Called(calls, "SetVolume 35"));
  QVERIFY(Called(calls, "SetMute 1"));
  QVERIFY(f.Action("Mute1")->isChecked());
}

void PlayerCommandsTest::seekKeysMoveByTimeInsideTheFile_data() {
  QTest::addColumn<QString>("item");
  QTest::addColumn<int>("key");
  QTest::addColumn<int>("from");
  QTest::addColumn<int>("to");
  QTest::newRow("right") << "SeekForward5s" << int(Qt::Key_Right) << 1000 << 1125;
  QTest::newRow("left") << "SeekBack5s" << int(Qt::Key_Left) << 1000 << 875;
  QTest::newRow("up") << "SeekForward1min" << int(Qt::Key_Up) << 1000 << 2500;
  QTest::newRow("down at the start") << "SeekBack1min" << int(Qt::Key_Down) << 100 << 0;
  QTest::newRow("up at the end") << "SeekForward1min" << int(Qt::Key_Up) << 89990 << 89999;
}

void PlayerCommandsTest::seekKeysMoveByTimeInsideTheFile() {
  QFETCH(QString, item);
  QFETCH(int, key);
  QFETCH(int, from);
  QFETCH(int, to);
  Playing f;
  const QByteArray name = item.toLatin1();
  QCOMPARE(f.Action(name)->shortcut(), QKeySequence(key));
  Movix().position = from;
  Movix().Take();
  f.Trigger(name);
  QCOMPARE(Movix().Take(), Calls({"SetPos " + std::to_string(to)}));
  f.Trigger("Stop1");
  Movix().Take();
  f.Trigger(name);  // a stopped movie is not moved
  QVERIFY(!Called(Movix().Take(), "SetPos " + std::to_string(to)));
}

void PlayerCommandsTest::spacePausesResumesAndPlays() {
  Playing f;
  QCOMPARE(f.Action("PauseOrResume")->shortcut(), QKeySequence(Qt::Key_Space));
  Movix().Take();
  f.Trigger("PauseOrResume");
  f.Trigger("PauseOrResume");
  QCOMPARE(Movix().Take(), Calls({"PauseMovie", "PauseMovie"}));
  f.Trigger("Stop1");
  Movix().Take();
  f.Trigger("PauseOrResume");
  QCOMPARE(Movix().Take(), Calls({"PlayMovie"}));
  // Where the main window keeps the keyboard in full screen, its Space pauses there too.
  f.Trigger("Play1");
  f.Trigger("NN3");
  Movix().Take();
  f.Trigger("PauseOrResume");
  QCOMPARE(Movix().Take(), Calls({"PauseMovie"}));
}

void PlayerCommandsTest::lineStartsNowSetsTheOffset() {
  Playing f;
  f.LoadSubtitle(f.dir.Write("film.srt", Srt({10, 20, 30})));
  Movix().position = 15 * 25;
  f.Trigger("NextLineNow1");  // line 2, due at 20 s, starts at 15 s
  QCOMPARE(f.Offset(), 5000);
  QCOMPARE(f.ShownAt(15 * 25), std::string("line 2"));
  QVERIFY(f.PanelText(Panel::Position).startsWith("375/"));  // the movie's position stays
  Movix().position = 26 * 25;  // line 3 (30 s) has shown since 25 s: it starts now
  f.Trigger("PreviousLineNow1");
  QCOMPARE(f.Offset(), 4000);
  QCOMPARE(f.ShownAt(26 * 25), std::string("line 3"));
  QCOMPARE(f.Action("NextLineNow1")->shortcut(), QKeySequence("Ctrl+Shift+N"));
  QCOMPARE(f.Action("PreviousLineNow1")->shortcut(), QKeySequence("Ctrl+Shift+P"));
  Movix().position = 40 * 25;
  f.Trigger("NextLineNow1");  // nothing after: the offset stays
  QCOMPARE(f.Offset(), 4000);
}

void PlayerCommandsTest::twoLinesFarApartFixTheRate_data() {
  QTest::addColumn<int>("movieRate");
  QTest::addColumn<double>("subtitleRate");
  QTest::addColumn<int>("shiftSeconds");
  QTest::addColumn<int>("lateFrames");  // how late the second key press comes
  QTest::addColumn<QString>("item");
  QTest::newRow("25 over 23.976") << 23976 << 25.0 << 0 << 0 << "n003";
  QTest::newRow("23.976 over 25") << 25000 << 23.976 << 0 << 0 << "n001";
  QTest::newRow("25 over 23.976, 30 s late") << 23976 << 25.0 << 30 << 0 << "n003";
  QTest::newRow("23.976 over 25, 30 s early") << 25000 << 23.976 << -30 << 0 << "n001";
  QTest::newRow("no drift, 30 s early, a late press")
      << 25000 << 25.0 << -30 << 1 << "SameAsMovie1";
}

void PlayerCommandsTest::twoLinesFarApartFixTheRate() {
  QFETCH(int, movieRate);
  QFETCH(double, subtitleRate);
  QFETCH(int, shiftSeconds);
  QFETCH(int, lateFrames);
  QFETCH(QString, item);
  Playing f(movieRate, 250000);
  f.LoadSubtitle(f.dir.Write("film.srt", Srt({100, 600, 1000})));
  const double movieFps = movieRate / 1000.0;
  // The movie frame where a line made for `subtitleRate` is spoken in this movie.
  auto spoken = [&](int seconds) {
    return static_cast<int32_t>(
        std::lround((seconds * subtitleRate / movieFps + shiftSeconds) * movieFps));
  };
  // The user presses "previous" when the line already shows, else "next"; the first
  // press has set the offset so that line `lineBefore` starts at `frameBefore`.
  auto press = [&](int line, int32_t frame, int lineBefore, int32_t frameBefore) {
    Movix().position = frame;
    const bool shows = (line - lineBefore) * movieFps <= frame - frameBefore;
    f.Trigger(shows ? "PreviousLineNow1" : "NextLineNow1");
  };
  press(100, spoken(100), 0, 0);
  press(1000, spoken(1000) + lateFrames, 100, spoken(100));
  QVERIFY2(f.Action(item.toLatin1())->isChecked(),
           qPrintable(f.PanelText(Panel::SubtitleFrameRate)));
  // The offset is in the subtitles' time: the movie's shift at their rate.
  const double offset = -shiftSeconds * 1000 * movieFps / subtitleRate;
  QVERIFY2(std::abs(f.Offset() - offset) <= 40, qPrintable(QString::number(f.Offset())));
  // A line between the two marks shows within one frame of its moment.
  const int32_t due = spoken(600);
  QCOMPARE(f.ShownAt(due + 1), std::string("line 2"));
  QVERIFY(f.ShownAt(due - 2) != "line 2");
}

void PlayerCommandsTest::timingIsRememberedPerMovie() {
  Playing f;
  f.LoadSubtitle(f.dir.Write("film.srt", Srt({10, 20})));
  f.Trigger("n003");
  f.fmSynchronize->SetOffset(1500);
  f.OpenMovie("other.avi");  // leaving the movie remembers it
  QVERIFY(std::filesystem::exists(f.dir.Path() / "state" / "timing"));
  f.fmSynchronize->SetOffset(0);
  f.LoadSubtitle(f.dir.Write("other.srt", Srt({5})));
  f.OpenMovie("film.avi");
  QCOMPARE(f.Offset(), 1500);
  QVERIFY(f.Action("n003")->isChecked());
  QCOMPARE(f.PanelText(Panel::SubtitleFrameRate), QString("Subtitle FrameRate:25fps"));
  QCOMPARE(f.fmMain->findChild<StatusBar*>("sbMain")->Note(),
           QString("Subtitle timing restored for this movie"));
  QCOMPARE(f.ShownAt(10 * 25 - 37), std::string("line 1"));  // 1.5 s early
}

}  // namespace captivo::test

int RunPlayerCommandsTests(int argc, char** argv) {
  captivo::test::PlayerCommandsTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "player_commands_test.moc"
