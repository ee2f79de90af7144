// MovieControl on its own, over the recording movie library: where the movie stands
// after each command, what the library is asked, and what the window is told.
#include <QSignalSpy>
#include <QtTest>

#include "fake_movix.h"
#include "movie_control.h"
#include "movie_panel.h"
#include "playing_fixture.h"

namespace captivo::test {

namespace {

struct Control {
  MoviePanel panel{nullptr};
  MovieControl movie{&panel, nullptr};

  explicit Control(int32_t rate = 25000) {
    Movix() = FakeMovix();
    Movix().frameRate = rate;
    Movix().duration = 1000;
    movie.SetFileName("/films/film.avi");
  }
  bool ClockRuns() const { return movie.findChild<QTimer*>("tmMovie")->isActive(); }
};

using Command = void (MovieControl::*)();

}  // namespace

class MovieControlTest : public QObject {
  Q_OBJECT

 private slots:
  void commandsMoveTheMovieBetweenStates_data();
  void commandsMoveTheMovieBetweenStates();
  void openingTellsWhatHappened();
  void seekingIsHeldInsideTheFile();
  void soundWaitsForAMovie();
};

void MovieControlTest::commandsMoveTheMovieBetweenStates_data() {
  QTest::addColumn<QList<int>>("commands");  // 0 Open, 1 Play, 2 Pause, 3 Stop
  QTest::addColumn<int>("state");
  QTest::addColumn<QString>("lastCall");
  using S = MovieState;
  QTest::newRow("nothing opened") << QList<int>{} << int(S::NoMovie) << "";
  QTest::newRow("play without a movie") << QList<int>{1} << int(S::NoMovie) << "";
  QTest::newRow("opened") << QList<int>{0} << int(S::Playing) << "GetVideoWH";
  QTest::newRow("paused") << QList<int>{0, 2} << int(S::Paused) << "PauseMovie";
  QTest::newRow("resumed") << QList<int>{0, 2, 2} << int(S::Playing) << "PauseMovie";
  QTest::newRow("stopped") << QList<int>{0, 3} << int(S::Stopped) << "StopMovie";
  QTest::newRow("paused, stopped") << QList<int>{0, 2, 3} << int(S::Stopped) << "StopMovie";
  QTest::newRow("played again") << QList<int>{0, 3, 1} << int(S::Playing) << "PlayMovie";
  QTest::newRow("pause when stopped") << QList<int>{0, 3, 2} << int(S::Stopped) << "PauseMovie";
  QTest::newRow("played while paused") << QList<int>{0, 2, 1} << int(S::Playing) << "PlayMovie";
}

void MovieControlTest::commandsMoveTheMovieBetweenStates() {
  QFETCH(QList<int>, commands);
  QFETCH(int, state);
  QFETCH(QString, lastCall);
  Control c;
  const Command command[] = {&MovieControl::Open, &MovieControl::Play, &MovieControl::Pause,
                             &MovieControl::Stop};
  for (int i : commands) (c.movie.*command[i])();
  QCOMPARE(int(c.movie.State()), state);
  const bool running = state == int(MovieState::Playing) || state == int(MovieState::Paused);
  QCOMPARE(c.movie.IsRunning(), running);
  QCOMPARE(c.ClockRuns(), running);  // the subtitle clock ticks while the movie runs
  QCOMPARE(c.movie.IsOpen(), state != int(MovieState::NoMovie));
  const Calls calls = Movix().Take();
  QCOMPARE(QString::fromStdString(calls.empty() ? "" : calls.back()), lastCall);
}

void MovieControlTest::openingTellsWhatHappened() {
  struct Case {
    const char* name;
    int playResult;
    int32_t rate;
    MovieState state;
    bool failed, rateRead, rateFailed, opened;
  } cases[] = {
      {"plays", 0, 25000, MovieState::Playing, false, true, false, true},
      {"cannot be played", 1, 25000, MovieState::NoMovie, true, false, false, false},
      {"has no frame rate", 0, 0, MovieState::NoMovie, false, true, true, false},
  };
  for (const Case& test : cases) {
    Control c(test.rate);
    Movix().playResult = test.playResult;
    QSignalSpy failed(&c.movie, &MovieControl::openFailed);
    QSignalSpy rateRead(&c.movie, &MovieControl::frameRateRead);
    QSignalSpy rateFailed(&c.movie, &MovieControl::frameRateFailed);
    QSignalSpy opened(&c.movie, &MovieControl::opened);
    c.movie.Open();
    QVERIFY2(c.movie.State() == test.state, test.name);
    QVERIFY2(failed.count() == test.failed, test.name);
    QVERIFY2(rateRead.count() == test.rateRead, test.name);
    QVERIFY2(rateFailed.count() == test.rateFailed, test.name);
    QVERIFY2(opened.count() == test.opened, test.name);
    if (test.rateRead) QCOMPARE(rateRead.first().first().toDouble(), test.rate / 1000.0);
  }
  // A file that cannot be played leaves the movie that plays as it was.
  Control c;
  c.movie.Open();
  c.movie.Pause();
  Movix().playResult = 1;
  c.movie.SetFileName("/films/broken.avi");
  c.movie.Open();
  QCOMPARE(c.movie.State(), MovieState::Paused);
  QCOMPARE(c.movie.Duration(), 1000);
}

void MovieControlTest::seekingIsHeldInsideTheFile() {
  struct Case {
    int32_t from, by, to;
  } cases[] = {{500, 125, 625}, {500, -125, 375}, {100, -1500, 0}, {990, 1500, 999}};
  for (const Case& test : cases) {
    Control c;
    c.movie.Open();
    Movix().position = test.from;
    Movix().Take();
    c.movie.SeekBy(test.by);
    QCOMPARE(Movix().Take(), Calls({"SetPos " + std::to_string(test.to)}));
  }
  Control stopped;
  stopped.movie.Open();
  stopped.movie.Stop();
  Movix().Take();
  stopped.movie.SeekBy(100);  // a movie that does not run is not moved
  QCOMPARE(Movix().Take(), Calls());
}

void MovieControlTest::soundWaitsForAMovie() {
  Control c;
  c.movie.SetVolume(140);
  c.movie.SetMuted(true);
  QCOMPARE(Movix().Take(), Calls());  // kept until a movie opens
  QCOMPARE(c.movie.Volume(), 100);
  c.movie.Open();
  const Calls calls = Movix().Take();
  QVERIFY(Called(calls, "SetVolume 100"));
  QVERIFY(Called(calls, "SetMute 1"));
  c.movie.SetVolume(-5);
  QCOMPARE(Movix().Take(), Calls({"SetVolume 0"}));
}

}  // namespace captivo::test

int RunMovieControlTests(int argc, char** argv) {
  captivo::test::MovieControlTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "movie_control_test.moc"
