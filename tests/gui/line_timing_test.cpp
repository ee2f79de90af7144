// Timing from the lines the user hears, and the timing remembered per movie.
#include <QPushButton>
#include <QtTest>
#include <cmath>
#include <cstdio>

#include "status_bar.h"
#include "synchronize.h"

#include "playing_fixture.h"

namespace captivo::test {

class LineTimingTest : public QObject {
  Q_OBJECT

 private slots:
  void lineStartsNowSetsTheOffset();
  void twoLinesFarApartFixTheRate_data();
  void twoLinesFarApartFixTheRate();
  void timingIsRememberedPerMovie();
  void marksThatCannotSetTheRateSaySo();
  void undoGoesBackStepByStep();
  void aMovieIsRememberedOnlyWithSubtitlesOfItsOwn();
  void exactTimesShowLinesFromTheirFractions();
  void twoLinesOnExactTimesFindTheReleaseRate();
  void forgettingAMovieKeepsNothingOfIt();
};

void LineTimingTest::lineStartsNowSetsTheOffset() {
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

void LineTimingTest::twoLinesFarApartFixTheRate_data() {
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

void LineTimingTest::twoLinesFarApartFixTheRate() {
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

void LineTimingTest::timingIsRememberedPerMovie() {
  Playing f;
  f.LoadSubtitle(f.dir.Write("film.srt", Srt({10, 20})));
  f.Trigger("n003");
  f.fmSynchronize->seSyn->setValue(1500);
  f.OpenMovie("other.avi");  // leaving the movie remembers it
  QVERIFY(std::filesystem::exists(f.dir.Path() / "state" / "timing"));
  f.fmSynchronize->seSyn->setValue(0);
  f.LoadSubtitle(f.dir.Write("other.srt", Srt({5})));
  f.OpenMovie("film.avi");
  QCOMPARE(f.Offset(), 1500);
  QVERIFY(f.Action("n003")->isChecked());
  QCOMPARE(f.PanelText(Panel::SubtitleFrameRate), QString("Subtitle FrameRate:25fps"));
  QCOMPARE(f.fmMain->findChild<StatusBar*>("sbMain")->Note(),
           QString("Subtitle timing restored for this movie"));
  QCOMPARE(f.ShownAt(10 * 25 - 37), std::string("line 1"));  // 1.5 s early
}

void LineTimingTest::marksThatCannotSetTheRateSaySo() {
  Playing f;
  f.LoadSubtitle(f.dir.Write("film.srt", Srt({10, 20, 30, 200})));
  auto pressAt = [&](int seconds) {
    Movix().position = seconds * 25;
    f.Trigger("PreviousLineNow1");
    return f.fmMain->findChild<StatusBar*>("sbMain")->Note();
  };
  QCOMPARE(pressAt(10), QString("Line 1 starts now: offset 0 ms"));
  QCOMPARE(pressAt(25), QString("Line 2 starts now: offset -5000 ms. Mark a line at least a "
                                "minute away from line 1 to set the rate"));
  QCOMPARE(pressAt(300), QString("Line 4 starts now: offset -100000 ms. Lines 1 and 4 give "
                                 "38.158fps, more than 10 % from the movie's 25fps: the rate "
                                 "is unchanged"));
  QVERIFY(f.Action("SameAsMovie1")->isChecked());
}

void LineTimingTest::undoGoesBackStepByStep() {
  Playing f;
  f.LoadSubtitle(f.dir.Write("film.srt", Srt({10, 20, 30})));
  auto note = [&] { return f.fmMain->findChild<StatusBar*>("sbMain")->Note(); };
  f.Trigger("n001");  // 23.976
  Movix().position = 15 * 25;
  f.Trigger("NextLineNow1");
  const int lineNow = f.Offset();
  f.prompts.onExec = [&](QDialog*) {  // a session of the Synchronize dialog: one step
    f.fmSynchronize->SpeedButton4->click();
    f.fmSynchronize->SpeedButton3->click();
    return 1;
  };
  f.Trigger("AdjustSubtitle1");
  f.prompts.onExec = nullptr;
  QCOMPARE(f.Offset(), lineNow + 1100);
  f.Trigger("AdjustSubtitle1");  // a session that changes nothing is no step
  QCOMPARE(f.Action("UndoTiming1")->shortcut(), QKeySequence("Ctrl+Z"));
  struct Step {
    int offset;
    const char* checked;
    QString note;
  } steps[] = {
      {lineNow, "n001", QString("Timing undone: offset %1 ms, 23.976fps").arg(lineNow)},
      {0, "n001", "Timing undone: offset 0 ms, 23.976fps"},
      {0, "SameAsMovie1", "Timing undone: offset 0 ms, Same As Movie"},
      {0, "SameAsMovie1", "No timing change to undo"},
  };
  for (const Step& step : steps) {
    f.Trigger("UndoTiming1");
    QCOMPARE(f.Offset(), step.offset);
    QVERIFY2(f.Action(step.checked)->isChecked(), step.checked);
    QCOMPARE(note(), step.note);
  }
}

void LineTimingTest::aMovieIsRememberedOnlyWithSubtitlesOfItsOwn() {
  Playing f;
  f.LoadSubtitle(f.dir.Write("film.srt", Srt({10})));
  f.Trigger("n003");
  f.OpenMovie("other.avi");  // film.avi is remembered; other.avi gets no subtitles
  QCOMPARE(f.PanelText(Panel::SubtitleFrameRate), QString("Subtitle FrameRate:Same As Movie"));
  f.OpenMovie("third.avi");  // leaving other.avi, nothing was loaded or timed for it
  const std::string remembered = FileContents(f.dir.Path() / "state" / "timing");
  QVERIFY(remembered.find("film.avi") != std::string::npos);
  QVERIFY(remembered.find("other.avi") == std::string::npos);
  Movix().position = 10 * 25;
  f.Trigger("PreviousLineNow1");  // re-timed while third.avi is open: remembered with it
  f.OpenMovie("film.avi");
  QVERIFY(FileContents(f.dir.Path() / "state" / "timing").find("third.avi") != std::string::npos);
}

void LineTimingTest::exactTimesShowLinesFromTheirFractions() {
  std::string settings;
  {
    Playing f;
    f.LoadSubtitle(f.dir.Write("film.srt", "1\n00:00:01,800 --> 00:00:03,000\nhello\n"));
    f.fmSynchronize->seSyn->setValue(-1000);
    QVERIFY(!f.Action("ExactTimes1")->isChecked());
    QCOMPARE(f.ShownAt(25 + 25), std::string("hello"));  // whole seconds: from 1 s
    f.Trigger("ExactTimes1");
    QVERIFY(f.Action("ExactTimes1")->isChecked());
    QCOMPARE(f.ShownAt(25 + 44), std::string());  // exact: from 1.8 s, the offset kept
    QCOMPARE(f.ShownAt(25 + 45), std::string("hello"));
    QCOMPARE(f.ShownAt(25 + 74), std::string("hello"));
    QCOMPARE(f.ShownAt(25 + 75), std::string());
    QCOMPARE(f.Offset(), -1000);
    f.fmMain->close();
    settings = FileContents(f.SettingsFile());
  }
  QVERIFY(settings.find("[Subtitles]\nExactTimes=1") != std::string::npos);
  WindowFixture again(settings);
  QVERIFY(again.Action("ExactTimes1")->isChecked());
}

void LineTimingTest::twoLinesOnExactTimesFindTheReleaseRate() {
  // A 23.976 fps movie whose SubRip lines were made for 25 fps and are 3 s late: a line
  // spoken at movie time t starts at t * 23.976 / 25 + 3 s in the file.
  Playing f(23976, 5 * 60 * 24);
  f.Trigger("ExactTimes1");
  const double movieFps = 23.976;
  std::string srt;
  for (int i = 0; i < 28; ++i) {
    const double spoken = 10 + 10 * i + 0.37 * (i % 3);
    const auto start = std::lround((spoken * movieFps / 25 + 3) * 1000);
    char block[96];
    std::snprintf(block, sizeof block,
                  "%d\n00:%02ld:%02ld,%03ld --> 00:%02ld:%02ld,%03ld\nline %d\n\n", i + 1,
                  start / 60000, start / 1000 % 60, start % 1000, (start + 900) / 60000,
                  (start + 900) / 1000 % 60, (start + 900) % 1000, i + 1);
    srt += block;
  }
  f.LoadSubtitle(f.dir.Write("film.srt", srt));
  auto frameOf = [&](int i) {
    return static_cast<int32_t>(std::lround((10 + 10 * i + 0.37 * (i % 3)) * movieFps));
  };
  auto pressAt = [&](int i) {  // the user hears line i + 1 begin and presses at once
    Movix().position = frameOf(i);
    const QString said = QString("Line %1 starts now").arg(i + 1);
    f.Trigger("NextLineNow1");
    if (!f.fmMain->findChild<StatusBar*>("sbMain")->Note().startsWith(said)) {
      f.Trigger("UndoTiming1");  // it was the line shown already
      f.Trigger("PreviousLineNow1");
    }
    QVERIFY(f.fmMain->findChild<StatusBar*>("sbMain")->Note().contains(said) ||
            f.fmMain->findChild<StatusBar*>("sbMain")->Note().startsWith("Timed"));
  };
  pressAt(2);
  pressAt(9);  // 66 s later
  QVERIFY2(f.Action("n003")->isChecked(), qPrintable(f.PanelText(Panel::SubtitleFrameRate)));
  QVERIFY2(std::abs(f.Offset() - 3000) <= 40, qPrintable(QString::number(f.Offset())));
  for (int i = 10; i < 28; ++i) {  // every later line starts within one frame
    const std::string line = "line " + std::to_string(i + 1);
    int32_t first = frameOf(i) - 3;
    while (f.ShownAt(first) != line && first < frameOf(i) + 3) ++first;
    QVERIFY2(std::abs(first - frameOf(i)) <= 1, line.c_str());
  }
}

void LineTimingTest::forgettingAMovieKeepsNothingOfIt() {
  Playing f;
  f.LoadSubtitle(f.dir.Write("film.srt", Srt({10})));
  f.Trigger("n003");
  f.OpenMovie("other.avi");  // film.avi is remembered
  f.OpenMovie("film.avi");
  QCOMPARE(f.fmMain->findChild<StatusBar*>("sbMain")->Note(),
           QString("Subtitle timing restored for this movie"));
  f.Trigger("ForgetTiming1");
  QCOMPARE(f.fmMain->findChild<StatusBar*>("sbMain")->Note(),
           QString("This movie's timing is forgotten"));
  f.OpenMovie("other.avi");  // leaving film.avi remembers nothing of it again
  QVERIFY(FileContents(f.dir.Path() / "state" / "timing").find("film.avi") == std::string::npos);
}

}  // namespace captivo::test

int RunLineTimingTests(int argc, char** argv) {
  captivo::test::LineTimingTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "line_timing_test.moc"
