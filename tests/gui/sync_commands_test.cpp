// Synchronize to Speech from the Subtitle menu, and Save Subtitle As.
#include <QtTest>
#include <cmath>
#include <fstream>
#include <sstream>

#include "fake_speech.h"
#include "fake_vobsub.h"
#include "speech.h"
#include "status_bar.h"

#include "playing_fixture.h"

namespace captivo::test {

namespace {

// Sixty lines at uneven starts (seconds), gaps of 4 to 13 s drawn from a fixed sequence
// without a period, so that no shift but the true one lays them on their speech.
std::vector<int> LineStarts() {
  std::vector<int> starts;
  uint32_t draw = 1;
  int start = 100;
  for (int i = 0; i < 60; ++i) {
    starts.push_back(start);
    draw = draw * 1103515245u + 12345u;
    start += 4 + int(draw >> 16) % 10;
  }
  return starts;
}

std::string SrtOf(const std::vector<int>& starts) {
  std::string out;
  for (size_t i = 0; i < starts.size(); ++i) {
    const int s = starts[i];
    char block[96];
    std::snprintf(block, sizeof block,
                  "%zu\n%02d:%02d:%02d,000 --> %02d:%02d:%02d,500\nline %zu\n\n", i + 1, s / 3600,
                  s / 60 % 60, s % 60, (s + 2) / 3600, (s + 2) / 60 % 60, (s + 2) % 60, i + 1);
    out += block;
  }
  return out;
}

// The speech the fake library "hears": each line spoken for its 2.5 s from `spokenAt`
// of its start (seconds), in a movie of `movieSeconds`.
template <typename SpokenAt>
std::vector<uint8_t> SpeechOf(const std::vector<int>& starts, SpokenAt spokenAt, int movieSeconds) {
  std::vector<uint8_t> levels(size_t(movieSeconds) * 1000 / SPEECH_FRAME_MS, 0);
  for (size_t i = 0; i < starts.size(); ++i) {
    const double from = spokenAt(i, starts[i]);
    for (double t = from; t < from + 2.5; t += SPEECH_FRAME_MS / 1000.0) {
      const auto at = size_t(std::llround(t * 1000 / SPEECH_FRAME_MS));
      if (at < levels.size()) levels[at] = 255;
    }
  }
  return levels;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

}  // namespace

class SyncCommandsTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { Speech().Reset(); }
  void speechSetsTheOffsetAndRate_data();
  void speechSetsTheOffsetAndRate();
  void aCutMovesTheLinesAfterItAndUndoMovesThemBack();
  void aVobSubSetsPicturesMoveAsOne();
  void choosingItAgainCancels();
  void whatCannotBeSolvedChangesNothing_data();
  void whatCannotBeSolvedChangesNothing();
  void anotherSubtitleLoadedMeanwhileIsLeftAlone();
  void saveAsWritesTheTimesShown();
  void saveAsAsksBeforeReplacing();

 private:
  static QString Note(const Playing& f) {
    return f.fmMain->findChild<StatusBar*>("sbMain")->Note();
  }
  // Runs Synchronize to Speech and waits until it has ended.
  static void Synchronize(Playing& f) {
    f.Trigger("SyncToSpeech1");
    QTRY_COMPARE_WITH_TIMEOUT(f.Action("SyncToSpeech1")->text(), QString("Synchronize to Speech"),
                              10000);
  }
};

void SyncCommandsTest::speechSetsTheOffsetAndRate_data() {
  QTest::addColumn<int>("movieRate");      // thousandths of a frame a second
  QTest::addColumn<double>("spokenRate");  // the rate the subtitle's release was made at
  QTest::addColumn<double>("lateSeconds");
  QTest::addColumn<QString>("rateItem");
  QTest::newRow("3 s late, same rate") << 25000 << 25.0 << 3.0 << "SameAsMovie1";
  QTest::newRow("70 s early, same rate") << 25000 << 25.0 << -70.0 << "SameAsMovie1";
  QTest::newRow("made for 25, movie 23.976") << 23976 << 25.0 << 1.5 << "n003";
  QTest::newRow("made for 23.976, movie 25") << 25000 << 23.976 << -2.0 << "n001";
}

void SyncCommandsTest::speechSetsTheOffsetAndRate() {
  QFETCH(int, movieRate);
  QFETCH(double, spokenRate);
  QFETCH(double, lateSeconds);
  QFETCH(QString, rateItem);
  const double movieFps = movieRate / 1000.0;
  Playing f(movieRate, int32_t(900 * movieFps));
  const std::vector<int> starts = LineStarts();
  f.LoadSubtitle(f.dir.Write("film.srt", SrtOf(starts)));
  const auto spokenAt = [&](size_t, int start) {
    return start * spokenRate / movieFps + lateSeconds;
  };
  Speech().levels = SpeechOf(starts, spokenAt, 900);

  Synchronize(f);
  const QString note = Note(f);
  QVERIFY2(note.startsWith("Synchronized to speech: offset "), qPrintable(note));
  QVERIFY2(note.endsWith("% of lines on speech"), qPrintable(note));
  QVERIFY2(f.Action(rateItem.toLatin1())->isChecked(), qPrintable(note));
  // Every line shows within a frame of its speech.
  for (size_t i = 0; i < starts.size(); i += 13) {
    const auto frame = int32_t(std::lround(spokenAt(i, starts[i]) * movieFps));
    const std::string line = "line " + std::to_string(i + 1);
    QCOMPARE(f.ShownAt(frame + 2), line);
    QVERIFY(f.ShownAt(frame - 3) != line);
  }
  QCOMPARE(Speech().lastPath, (f.dir.Path() / "film.avi").string());
  QCOMPARE(Speech().lastTrack, -1);  // the audio track the movie library took
  // One step of Undo Timing puts back what was before.
  const int solved = f.Offset();
  f.Trigger("UndoTiming1");
  QCOMPARE(f.Offset(), 0);
  QVERIFY(f.Action("SameAsMovie1")->isChecked());
  // The timing found is remembered with the movie.
  Synchronize(f);
  f.OpenMovie("other.avi");
  f.OpenMovie("film.avi");
  QCOMPARE(f.Offset(), solved);
  QVERIFY(f.Action(rateItem.toLatin1())->isChecked());
}

void SyncCommandsTest::aCutMovesTheLinesAfterItAndUndoMovesThemBack() {
  Playing f(25000, 900 * 25);
  const std::vector<int> starts = LineStarts();
  f.LoadSubtitle(f.dir.Write("film.srt", SrtOf(starts)));
  // The other release lost four seconds before line 31: the lines from there come earlier.
  const auto spokenAt = [](size_t i, int start) { return start + (i < 30 ? 2.0 : -2.0); };
  Speech().levels = SpeechOf(starts, spokenAt, 900);

  Synchronize(f);
  const QString note = Note(f);
  QVERIFY2(note.contains(", lines from 31 on 4,000 ms earlier;"), qPrintable(note));
  for (const size_t i : {size_t(5), size_t(29), size_t(30), size_t(55)}) {
    const auto frame = int32_t(std::lround(spokenAt(i, starts[i]) * 25));
    QCOMPARE(f.ShownAt(frame + 2), "line " + std::to_string(i + 1));
  }
  f.Trigger("UndoTiming1");
  QCOMPARE(f.Offset(), 0);
  QCOMPARE(f.ShownAt(starts[40] * 25 + 2), std::string("line 41"));
}

void SyncCommandsTest::aVobSubSetsPicturesMoveAsOne() {
  Playing f;
  VobSub() = FakeVobSub();
  const std::vector<int> starts = LineStarts();
  for (const int start : starts) VobSub().times.push_back({start * 1000, start * 1000 + 2500});
  f.dir.Write("film.idx", "# index\n");
  f.LoadSubtitle(f.dir.Write("film.sub", ""));
  // Spoken 3 s late, and 4 s earlier from line 36 on: pictures cannot be moved apart, so
  // the set keeps one offset, that of most of them.
  Speech().levels = SpeechOf(
      starts, [](size_t i, int start) { return start + (i < 35 ? 3.0 : -1.0); }, 900);
  Synchronize(f);
  const QString note = Note(f);
  QVERIFY2(note.startsWith("Synchronized to speech: offset -3,0"), qPrintable(note));
  QVERIFY2(!note.contains("lines from"), qPrintable(note));
  QVERIFY2(std::abs(f.Offset() + 3000) <= 20, qPrintable(note));
}

void SyncCommandsTest::choosingItAgainCancels() {
  Playing f;
  const std::vector<int> starts = LineStarts();
  f.LoadSubtitle(f.dir.Write("film.srt", SrtOf(starts)));
  Speech().levels = SpeechOf(
      starts, [](size_t, int start) { return start + 3.0; }, 900);
  Speech().readingSteps = 1000;
  Speech().stepMs = 5;
  f.Trigger("SyncToSpeech1");
  QCOMPARE(f.Action("SyncToSpeech1")->text(), QString("Cancel Synchronizing to Speech"));
  QCOMPARE(f.Action("SyncToSpeech1")->shortcut(), QKeySequence("Ctrl+Shift+A"));
  QTRY_VERIFY(Note(f).startsWith("Listening for speech: "));
  f.Trigger("SyncToSpeech1");
  QTRY_COMPARE(Note(f), QString("Synchronizing cancelled; nothing changed"));
  QCOMPARE(f.Action("SyncToSpeech1")->text(), QString("Synchronize to Speech"));
  QCOMPARE(f.Offset(), 0);
  QVERIFY(Speech().readsStopped);
}

void SyncCommandsTest::whatCannotBeSolvedChangesNothing_data() {
  QTest::addColumn<int>("status");
  QTest::addColumn<bool>("silence");
  QTest::addColumn<int>("lines");
  QTest::addColumn<QString>("note");
  QTest::newRow("no sound") << int(SPEECH_NO_SOUND) << false << 40
                            << "The movie has no sound; nothing changed";
  QTest::newRow("broken sound") << int(SPEECH_UNREADABLE) << false << 40
                                << "The movie's sound cannot be decoded; nothing changed";
  QTest::newRow("silence") << int(SPEECH_READ) << true << 40
                           << "No speech found in the movie's sound; nothing changed";
  QTest::newRow("one line") << int(SPEECH_READ) << false << 1
                            << "Too few lines to synchronize: at least 5 are needed";
  QTest::newRow("no subtitle") << int(SPEECH_READ) << false << 0
                               << "No subtitle lines to synchronize: load a subtitle file";
}

void SyncCommandsTest::whatCannotBeSolvedChangesNothing() {
  QFETCH(int, status);
  QFETCH(bool, silence);
  QFETCH(int, lines);
  QFETCH(QString, note);
  Playing f;
  std::vector<int> starts = LineStarts();
  starts.resize(size_t(lines));
  if (lines > 0) f.LoadSubtitle(f.dir.Write("film.srt", SrtOf(starts)));
  f.Trigger("n003");
  const int reads = Speech().reads;
  Speech().status = status;
  Speech().levels = silence ? std::vector<uint8_t>(90000, 0)
                            : SpeechOf(
                                  starts, [](size_t, int s) { return s + 3.0; }, 900);
  Synchronize(f);
  QCOMPARE(Note(f), note);
  QCOMPARE(f.Offset(), 0);
  QVERIFY(f.Action("n003")->isChecked());
  QCOMPARE(Speech().reads - reads, lines > 0 ? 1 : 0);
}

void SyncCommandsTest::anotherSubtitleLoadedMeanwhileIsLeftAlone() {
  Playing f;
  const std::vector<int> starts = LineStarts();
  f.LoadSubtitle(f.dir.Write("film.srt", SrtOf(starts)));
  Speech().levels = SpeechOf(
      starts, [](size_t, int start) { return start + 3.0; }, 900);
  Speech().readingSteps = 20;
  Speech().stepMs = 10;
  f.Trigger("SyncToSpeech1");
  f.LoadSubtitle(f.dir.Write("other.srt", SrtOf({30, 60, 90, 120, 150, 180})));
  QTRY_COMPARE(Note(f),
               QString("The movie or the subtitle changed while synchronizing: nothing changes"));
  QCOMPARE(f.Offset(), 0);
}

void SyncCommandsTest::saveAsWritesTheTimesShown() {
  Playing f;
  f.LoadSubtitle(f.dir.Write("film.srt",
                             "1\n00:00:10,250 --> 00:00:12,000\nFirst line\n\n"
                             "2\n00:01:00,000 --> 00:01:01,500\nSecond\nand last\n\n"));
  f.Trigger("ExactTimes1");
  f.fmSynchronize->seSyn->setValue(1000);  // every line a second earlier
  const std::string srt = (f.dir.Path() / "fixed").string();
  const std::string vtt = (f.dir.Path() / "fixed.vtt").string();
  f.prompts.saveFiles = {{QString::fromStdString(srt), "SubRip (*.srt)"},
                         {QString::fromStdString(vtt), "SubRip (*.srt)"}};
  f.Trigger("SaveSubtitleAs1");
  f.Trigger("SaveSubtitleAs1");
  QCOMPARE(ReadFile(srt + ".srt"),
           std::string("1\n00:00:09,250 --> 00:00:11,000\nFirst line\n\n"
                       "2\n00:00:59,000 --> 00:01:00,500\nSecond\nand last\n\n"));
  const std::string webVtt = ReadFile(vtt);  // the name's extension decides
  QVERIFY2(webVtt.starts_with("WEBVTT"), webVtt.c_str());
  QVERIFY2(webVtt.find("00:00:09.250 --> 00:00:11.000") != std::string::npos, webVtt.c_str());
  QCOMPARE(Note(f), "Subtitle saved as " + QString::fromStdString(vtt));

  // What was written loads back with the times it was saved with.
  f.fmSynchronize->seSyn->setValue(0);
  f.LoadSubtitle(srt + ".srt");
  QCOMPARE(f.ShownAt(int32_t(9.3 * 25)), std::string("First line"));
}

void SyncCommandsTest::saveAsAsksBeforeReplacing() {
  Playing f;
  f.LoadSubtitle(f.dir.Write("film.srt", SrtOf({10, 20})));
  const std::string there = f.dir.Write("there.srt", "kept");
  f.prompts.saveFiles = {{QString::fromStdString(there), "SubRip (*.srt)"},
                         {QString::fromStdString(there), "SubRip (*.srt)"}};
  f.prompts.answers = {false, true};
  f.Trigger("SaveSubtitleAs1");
  QCOMPARE(ReadFile(there), std::string("kept"));
  QCOMPARE(f.prompts.questions.size(), 1);
  f.Trigger("SaveSubtitleAs1");
  QVERIFY(ReadFile(there).starts_with("1\n00:00:10,000"));

  // Nothing loaded: nothing to save, no dialog.
  Playing empty;
  const qsizetype dialogs = empty.prompts.fileDialogs.size();
  empty.Trigger("SaveSubtitleAs1");
  QCOMPARE(Note(empty), QString("No text subtitle to save: load a text subtitle file"));
  QCOMPARE(empty.prompts.fileDialogs.size(), dialogs);
}

}  // namespace captivo::test

int RunSyncCommandsTests(int argc, char** argv) {
  captivo::test::SyncCommandsTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "sync_commands_test.moc"
