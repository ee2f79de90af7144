#include <QAction>
#include <QMimeData>
#include <QSlider>
#include <QTimer>
#include <QtTest>

#include "fake_movix.h"
#include "status_bar.h"
#include "subtitle_label.h"
#include "window_fixture.h"
#include "window_messages.h"

namespace captivo::test {

namespace {

using Calls = std::vector<std::string>;

// A window with the fake library set to answer for a movie of this rate, length and size.
struct MovieFixture : WindowFixture {
  MovieFixture(int32_t rate = 25000, int32_t duration = 90000, int32_t width = 640,
               int32_t height = 272) {
    Movix() = FakeMovix();
    Movix().frameRate = rate;
    Movix().duration = duration;
    Movix().width = width;
    Movix().height = height;
  }
  QString Open(const std::string& name) { return OpenMovie(name); }
};

}  // namespace

class MovieCommandsTest : public QObject {
  Q_OBJECT

 private slots:
  void openingShowsTheMovieInTheStatusBar_data();
  void openingShowsTheMovieInTheStatusBar();
  void openingCallsTheLibraryInOrderAndSizesTheWindow();
  void openingFailuresShowTheirBoxes();
  void playAfterAFailedFirstOpenDoesNothing();
  void companionSubtitleIsFoundInOrder();
  void transportCommands();
  void playFileAndContinuedPlayFileOffsets();
  void dropOpensTheFirstFileAsAMovie();
  void clockShowsTheSubtitleAtTheOffset_data();
  void clockShowsTheSubtitleAtTheOffset();
  void clockCarriesTheContinuedOffset();
  void frameRateChoiceTakesEffectOnTheNextTick();
  void anotherFileNeverShowsThePreviousText();
  void hookAnswersPlaybackEventsAndTheSeekBar();
  void windowKeepsThePictureProportion();
  void stopNoticeAndCloseStopTheMovie();
};

void MovieCommandsTest::openingShowsTheMovieInTheStatusBar_data() {
  QTest::addColumn<int>("rate");
  QTest::addColumn<int>("duration");
  QTest::addColumn<QString>("length");
  QTest::addColumn<QString>("fps");
  QTest::newRow("25 fps") << 25000 << 90000 << "90000/1:0:0"
                          << "25fps";
  QTest::newRow("23.976 fps") << 23976 << 2400 << "2400/0:1:40"
                              << "23.976fps";
  QTest::newRow("29.97 fps") << 29970 << 0 << "0/0:0:0"
                             << "29.97fps";
}

void MovieCommandsTest::openingShowsTheMovieInTheStatusBar() {
  QFETCH(int, rate);
  QFETCH(int, duration);
  QFETCH(QString, length);
  QFETCH(QString, fps);
  MovieFixture f(rate, duration);
  f.Open("film.avi");
  QCOMPARE(f.PanelText(Panel::Length), length);
  QCOMPARE(f.PanelText(Panel::FrameRate), fps);
  QCOMPARE(f.PanelText(Panel::PictureSize), QString("640*272"));
  QCOMPARE(f.SeekBar().maximum(), duration);
  QVERIFY(f.ClockRuns());
  QCOMPARE(f.prompts.fileDialogs.size(), 1);
  QVERIFY(f.prompts.fileDialogs[0].startsWith(
      "Play DivX Movie|Movie files (*.avi *.mpg *.mpeg *.dat *.divx *.wmv *.asf *.mkv"));
  QVERIFY(f.prompts.fileDialogs[0].endsWith(";;All Files (*)"));
}

void MovieCommandsTest::openingCallsTheLibraryInOrderAndSizesTheWindow() {
  MovieFixture f;
  const QString path = f.Open("film.avi");
  Calls calls = Movix().Take();
  // The panel's new size follows the window's: the library fits the picture to it.
  QCOMPARE(calls.back(), std::string("SizeChange"));
  calls.erase(std::remove(calls.begin(), calls.end(), "SizeChange"), calls.end());
  // The sound's level and mute go first, so that the movie starts at them.
  QCOMPARE(calls, Calls({"SetVolume 100", "SetMute 0", "PlayFile " + path.toStdString(),
                         "GetFrameRate", "GetDur", "GetVideoWH"}));
  QCOMPARE(Movix().panel, static_cast<void*>(&f.Part("plMovie")));
  // Origin size: the picture panel is the picture's size.
  QCOMPARE(f.ClientSize().width(), 640);
  QCOMPARE(f.Part("plMovie").size(), QSize(640, 272));
}

void MovieCommandsTest::openingFailuresShowTheirBoxes() {
  MovieFixture f;
  f.Open("good.avi");
  Movix().playResult = 1;
  f.Open("broken.avi");
  QCOMPARE(f.prompts.messages.size(), size_t{1});
  QCOMPARE(f.prompts.messages[0].title, QString("Error"));
  QCOMPARE(f.prompts.messages[0].text,
           QString("Movie file error or DivX codec not installed properly!\rPlease go "
                   "https://captivo.brindle.example for more information."));
  QCOMPARE(f.prompts.messages[0].icon, QMessageBox::Critical);
  QVERIFY(f.ClockRuns());  // the earlier movie's state stays
  QCOMPARE(f.PanelText(Panel::Length), QString("90000/1:0:0"));

  Movix().playResult = 0;
  Movix().frameRate = 0;
  Movix().Take();
  f.prompts.messages.clear();
  f.Open("sound.wav");
  QCOMPARE(f.prompts.messages.size(), size_t{1});
  QCOMPARE(f.prompts.messages[0].text, QString("Can not get the frame rate of the movie"));
  QCOMPARE(f.prompts.messages[0].icon, QMessageBox::Critical);
  QVERIFY(Movix().Take().back() == "StopMovie");
  QVERIFY(!f.ClockRuns());
  // Sound alone is no movie: nothing to play, no view size, and no clock at rate 0.
  f.Idle();
  QVERIFY(!f.Action("Play1")->isEnabled());
  QVERIFY(!f.Action("Stop1")->isEnabled());
  QVERIFY(!f.Action("NN1")->isEnabled());
  f.Run("Play1Click");
  QVERIFY(!f.ClockRuns());
  QVERIFY(Movix().Take().empty());
}

void MovieCommandsTest::playAfterAFailedFirstOpenDoesNothing() {
  MovieFixture f;
  f.dir.Write("broken.srt", "1\n00:00:00,000 --> 00:00:09,000\nshown without a movie\n");
  Movix().playResult = 1;
  f.Open("broken.avi");
  QCOMPARE(f.prompts.messages.size(), size_t{1});
  f.Idle();
  for (QAction* command : {f.Action("Play1"), f.Action("Pause1"), f.Action("Stop1"),
                           f.Action("NN1"), f.Action("NN2"), f.Action("NN3")})
    QVERIFY2(!command->isEnabled(), qPrintable(command->text()));
  Movix().Take();
  const QSize before = f.ClientSize();
  f.Run("Play1Click");
  f.Run("NN1Click");
  QVERIFY(!f.ClockRuns());
  QCOMPARE(f.ClientSize(), before);
  QVERIFY(Movix().Take().empty());
  QCOMPARE(f.StripText().Text(), std::string("Subtitle will display here !!!"));
}

void MovieCommandsTest::companionSubtitleIsFoundInOrder() {
  MovieFixture f;
  f.dir.Write("film.srt", "1\n00:00:01,000 --> 00:00:02,000\nsrt\n");
  f.dir.Write("film.ssa", "[Script Info]\nDialogue: 0,0:00:01.00,0:00:02.00,D,,0,0,0,,ssa\n");
  // Each shows from 1 to 2 seconds: frames 25 to 50.
  f.Open("film.avi");
  QCOMPARE(f.ShownAt(30), std::string("srt"));
  f.Open("other.avi");  // nothing beside it: the subtitles stay
  QCOMPARE(f.ShownAt(30), std::string("srt"));
  f.dir.Write("show.ass", "[Script Info]\nDialogue: 0,0:00:01.00,0:00:02.00,D,,0,0,0,,ass\n");
  f.dir.Write("show.ssa", "[Script Info]\nDialogue: 0,0:00:01.00,0:00:02.00,D,,0,0,0,,ssa\n");
  f.Open("show.avi");
  QCOMPARE(f.ShownAt(30), std::string("ssa"));
  f.dir.Write("clip.ass", "[Script Info]\nDialogue: 0,0:00:01.00,0:00:02.00,D,,0,0,0,,ass\n");
  f.Open("clip.avi");
  QCOMPARE(f.ShownAt(30), std::string("ass"));
  f.dir.Write("talk.vtt", "WEBVTT\n\n00:01.000 --> 00:02.000\n<i>vtt</i>\n");
  f.Open("talk.avi");
  QCOMPARE(f.ShownAt(30), std::string("vtt"));
  f.dir.Write("clip.vtt", "WEBVTT\n\n00:01.000 --> 00:02.000\nvtt\n");
  f.Open("clip.avi");  // .ass comes first
  QCOMPARE(f.ShownAt(30), std::string("ass"));
}

void MovieCommandsTest::transportCommands() {
  MovieFixture f;
  f.Open("film.avi");
  Movix().Take();
  f.Trigger("Pause1");
  f.Trigger("Pause1");
  QVERIFY(f.ClockRuns());  // the timer runs while paused
  f.Trigger("Stop1");
  QVERIFY(!f.ClockRuns());
  f.Idle();
  QVERIFY(f.Action("Play1")->isEnabled());
  f.Trigger("Play1");
  QVERIFY(f.ClockRuns());
  QCOMPARE(Movix().Take(), Calls({"PauseMovie", "PauseMovie", "StopMovie", "PlayMovie"}));
}

void MovieCommandsTest::playFileAndContinuedPlayFileOffsets() {
  MovieFixture f;
  // The continued offset shows in panel 0 at the library's frame 0.
  auto movieFrame = [&] {
    f.ShownAt(0);
    return f.PanelText(Panel::Position).section('/', 0, 0).toInt();
  };
  f.Open("part1.avi");
  f.Trigger("ContinuedPlayFile1");  // cancelled: the offset still grows
  QCOMPARE(movieFrame(), 90000);
  f.Trigger("ContinuedPlayFile1");
  QCOMPARE(movieFrame(), 180000);
  Movix().duration = 1000;
  f.Open("part2.avi");
  f.Trigger("ContinuedPlayFile1");
  QCOMPARE(movieFrame(), 1000);  // Play File began the count afresh
  f.prompts.files.push_back(QString::fromStdString(f.dir.Write("part3.avi", "x")));
  f.Trigger("ContinuedPlayFile1");
  QCOMPARE(movieFrame(), 2000);
  f.Trigger("PlayFile1");  // cancelled: both are cleared all the same
  QCOMPARE(movieFrame(), 0);
  f.Idle();
  QVERIFY(!f.Action("ContinuedPlayFile1")->isEnabled());
}

void MovieCommandsTest::dropOpensTheFirstFileAsAMovie() {
  MovieFixture f;
  f.Open("part1.avi");
  f.Trigger("ContinuedPlayFile1");  // cancelled: an offset of 90000 frames
  Movix().Take();
  // The first file opens as a movie, whatever it is; a drop keeps the offset.
  const std::string first = f.dir.Write("a.srt", "1\n");
  QVERIFY(f.Drop({QUrl::fromLocalFile(QString::fromStdString(first)), QUrl::fromLocalFile("/b.avi"),
                  QUrl::fromLocalFile("/c.avi")}));
  QCOMPARE(Movix().Take().at(2), "PlayFile " + first);
  f.ShownAt(0);
  QCOMPARE(f.PanelText(Panel::Position), QString("90000/1:0:0"));
  QVERIFY(f.Drop({}));
  QVERIFY(Movix().Take().empty());
  // A name that is not valid UTF-8 reaches the library with its bytes.
  QVERIFY(f.Drop({QUrl("file:///films/caf%E9.avi")}));
  const Calls calls = Movix().Take();
  QVERIFY(calls.size() > 2);
  QCOMPARE(calls[2], std::string("PlayFile /films/caf\xe9.avi"));
}

void MovieCommandsTest::clockShowsTheSubtitleAtTheOffset_data() {
  QTest::addColumn<int>("rate");
  QTest::addColumn<int>("offset");
  QTest::addColumn<int>("shift");  // frames the lookup runs ahead of the movie
  QTest::newRow("+1000 ms at 25 fps") << 25000 << 1000 << 25;
  QTest::newRow("-1500 ms at 23.976 fps") << 23976 << -1500 << -36;
  QTest::newRow("no offset") << 25000 << 0 << 0;
}

void MovieCommandsTest::clockShowsTheSubtitleAtTheOffset() {
  QFETCH(int, rate);
  QFETCH(int, offset);
  QFETCH(int, shift);
  MovieFixture f(rate);
  f.dir.Write("film.sub", "{1000}{1000}at 1000\n");  // frames: the rate plays no part
  f.Open("film.avi");
  f.fmSynchronize->seSyn->setValue(offset);
  f.ShownAt(1000 - shift);
  QCOMPARE(f.StripText().Text(), std::string("at 1000"));
  QCOMPARE(f.fmSub->lbSub->Text(), std::string("at 1000"));
  QCOMPARE(f.SeekBar().value(), 1000 - shift);  // the seek bar never has the offset
  QVERIFY(f.PanelText(Panel::Position).startsWith(QString::number(1000 - shift) + "/"));
  QCOMPARE(f.ShownAt(1001 - shift), std::string());
}

void MovieCommandsTest::clockCarriesTheContinuedOffset() {
  MovieFixture f;
  f.Open("part1.avi");
  f.dir.Write("part2.sub", "{90100}{90100}second part\n");
  f.prompts.files.push_back(QString::fromStdString(f.dir.Write("part2.avi", "x")));
  f.Trigger("ContinuedPlayFile1");
  f.ShownAt(100);
  QCOMPARE(f.SeekBar().value(), 100);
  QCOMPARE(f.PanelText(Panel::Position), QString("90100/1:0:4"));
  QCOMPARE(f.StripText().Text(), std::string("second part"));
}

void MovieCommandsTest::frameRateChoiceTakesEffectOnTheNextTick() {
  MovieFixture f(23976);
  f.dir.Write("film.srt", "1\n00:00:10,000 --> 00:00:10,000\nten\n");
  f.Open("film.avi");
  f.ShownAt(240);
  QCOMPARE(f.StripText().Text(), std::string("ten"));
  f.Trigger("n003");  // 25: ten seconds are frame 250
  f.ShownAt(240);
  QCOMPARE(f.StripText().Text(), std::string());
  f.ShownAt(250);
  QCOMPARE(f.StripText().Text(), std::string("ten"));
  QCOMPARE(f.PanelText(Panel::Position), QString("250/0:0:10"));
}

void MovieCommandsTest::anotherFileNeverShowsThePreviousText() {
  MovieFixture f;
  f.dir.Write("film.sub", "{0}{1000}old\n");
  f.Open("film.avi");
  f.ShownAt(500);
  QCOMPARE(f.StripText().Text(), std::string("old"));
  f.LoadSubtitle(f.dir.Write("new.sub", "{400}{450}new\n"));
  f.ShownAt(500);
  QCOMPARE(f.StripText().Text(), std::string());
  f.ShownAt(420);
  QCOMPARE(f.StripText().Text(), std::string("new"));
}

void MovieCommandsTest::hookAnswersPlaybackEventsAndTheSeekBar() {
  MovieFixture f;
  f.Open("film.avi");
  Movix().Take();
  QCoreApplication::postEvent(&f.Part("plMovie"), new WindowMessage(kPlaybackEvent));
  QCoreApplication::postEvent(&f.Part("plMovie"), new WindowMessage(kPlaybackEvent));
  QCoreApplication::sendPostedEvents();
  QCOMPARE(Movix().Take(), Calls({"GraphNotify", "GraphNotify"}));
  // One that is taken back before it is dispatched is never answered.
  QCoreApplication::postEvent(&f.Part("plMovie"), new WindowMessage(kPlaybackEvent));
  QCoreApplication::removePostedEvents(&f.Part("plMovie"), kPlaybackEvent);
  QCoreApplication::sendPostedEvents();
  QVERIFY(Movix().Take().empty());

  QSlider* bar = &f.SeekBar();
  f.ShownAt(10);
  QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, bar->height() / 2));
  bar->setValue(5000);  // the thumb follows the mouse only
  f.ShownAt(20);
  QCOMPARE(bar->value(), 5000);
  QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, bar->height() / 2));
  QCOMPARE(Movix().Take(), Calls({"SetPos " + std::to_string(bar->value())}));
  f.ShownAt(30);
  QCOMPARE(bar->value(), 30);
  // A quick second press comes as a double-click: it holds the thumb as well.
  const QPointF middle(bar->width() / 2, bar->height() / 2);
  QMouseEvent second(QEvent::MouseButtonDblClick, middle, bar->mapToGlobal(middle), Qt::LeftButton,
                     Qt::LeftButton, {});
  QCoreApplication::sendEvent(bar, &second);
  bar->setValue(700);
  f.ShownAt(40);
  QCOMPARE(bar->value(), 700);
}

void MovieCommandsTest::windowKeepsThePictureProportion() {
  MovieFixture f;
  f.ResizeClient(700, 500);  // no movie: no proportion
  QCOMPARE(f.ClientSize().height(), 500);
  f.Open("film.avi");
  Movix().Take();
  f.ResizeClient(1280, 300);
  QCOMPARE(f.ClientSize().width(), 1280);
  QCOMPARE(f.Part("plMovie").size(), QSize(1280, 544));
  QVERIFY(!Movix().Take().empty());  // the panel's new size went to the library
  f.Trigger("Stop1");
  f.ResizeClient(700, 500);
  QCOMPARE(f.ClientSize().height(), 500);
  const Calls calls = Movix().Take();
  QCOMPARE(std::count(calls.begin(), calls.end(), "SizeChange"), 0);  // stopped: no fitting
}

void MovieCommandsTest::stopNoticeAndCloseStopTheMovie() {
  MovieFixture f;
  f.Open("film.avi");
  Movix().Take();
  QCoreApplication::postEvent(f.fmMain.get(), new WindowMessage(kStopPlayback));
  QCoreApplication::sendPostedEvents();
  QVERIFY(!f.ClockRuns());
  QCOMPARE(Movix().Take(), Calls({"StopMovie"}));
  f.Trigger("Play1");
  Movix().Take();
  f.fmMain->close();  // stopped before the close releases the hook
  QCOMPARE(Movix().Take(), Calls({"StopMovie", "FreeHook"}));
  QVERIFY(std::filesystem::exists(f.SettingsFile()));
}

}  // namespace captivo::test

int RunMovieCommandsTests(int argc, char** argv) {
  captivo::test::MovieCommandsTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "movie_commands_test.moc"
