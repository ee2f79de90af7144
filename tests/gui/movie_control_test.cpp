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
  // Opens `name` (written in the temporary folder) through the Play File dialog.
  QString Open(const std::string& name) {
    const QString path = QString::fromStdString(dir.Write(name, "movie"));
    prompts.files.push_back(path);
    fmMain->PlayFile1->trigger();
    return path;
  }
  void Tick(int32_t position) {
    Movix().position = position;
    fmMain->tmMovieTimer();
  }
};

}  // namespace

class MovieControlTest : public QObject {
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

void MovieControlTest::openingShowsTheMovieInTheStatusBar_data() {
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

void MovieControlTest::openingShowsTheMovieInTheStatusBar() {
  QFETCH(int, rate);
  QFETCH(int, duration);
  QFETCH(QString, length);
  QFETCH(QString, fps);
  MovieFixture f(rate, duration);
  f.Open("film.avi");
  QCOMPARE(f.fmMain->sbMain->PanelText(1), length);
  QCOMPARE(f.fmMain->sbMain->PanelText(2), fps);
  QCOMPARE(f.fmMain->sbMain->PanelText(3), QString("640*272"));
  QCOMPARE(f.fmMain->tbMain->maximum(), duration);
  QCOMPARE(f.fmMain->MovieFrameRate, rate / 1000.0);
  QVERIFY(f.fmMain->tmMovie->isActive());
  QCOMPARE(f.prompts.fileDialogs.size(), 1);
  QVERIFY(f.prompts.fileDialogs[0].startsWith(
      "Play DivX Movie|Movie files (*.avi *.mpg *.mpeg *.dat *.divx *.wmv *.asf *.mkv"));
  QVERIFY(f.prompts.fileDialogs[0].endsWith(";;All Files (*)"));
}

void MovieControlTest::openingCallsTheLibraryInOrderAndSizesTheWindow() {
  MovieFixture f;
  const QString path = f.Open("film.avi");
  Calls calls = Movix().Take();
  // The panel's new size follows the window's: the library fits the picture to it.
  QCOMPARE(calls.back(), std::string("SizeChange"));
  calls.erase(std::remove(calls.begin(), calls.end(), "SizeChange"), calls.end());
  QCOMPARE(calls,
           Calls({"PlayFile " + path.toStdString(), "GetFrameRate", "GetDur", "GetVideoWH"}));
  QCOMPARE(Movix().panel, static_cast<void*>(f.fmMain->plMovie));
  // Origin size: the client area fits the picture and the four controls under it.
  QCOMPARE(f.fmMain->ClientWidth(), 640);
  QCOMPARE(f.fmMain->ClientHeight(), 272 + 19 + 83 + 4 + 17);
}

void MovieControlTest::openingFailuresShowTheirBoxes() {
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
  QVERIFY(f.fmMain->MovieFileName.ends_with("broken.avi"));  // the name is kept
  QVERIFY(f.fmMain->tmMovie->isActive());                    // the earlier movie's state stays
  QCOMPARE(f.fmMain->sbMain->PanelText(1), QString("90000/1:0:0"));

  Movix().playResult = 0;
  Movix().frameRate = 0;
  Movix().Take();
  f.prompts.messages.clear();
  f.Open("sound.wav");
  QCOMPARE(f.prompts.messages.size(), size_t{1});
  QCOMPARE(f.prompts.messages[0].text, QString("Can not get the frame rate of the movie"));
  QCOMPARE(f.prompts.messages[0].icon, QMessageBox::Critical);
  QVERIFY(Movix().Take().back() == "StopMovie");
  QVERIFY(!f.fmMain->tmMovie->isActive());
  // Sound alone is no movie: nothing to play, no view size, and no clock at rate 0.
  f.fmMain->ApplicationEvents1Idle();
  QVERIFY(!f.fmMain->Play1->isEnabled());
  QVERIFY(!f.fmMain->Stop1->isEnabled());
  QVERIFY(!f.fmMain->NN1->isEnabled());
  f.fmMain->Play1Click();
  QVERIFY(!f.fmMain->tmMovie->isActive());
  QVERIFY(Movix().Take().empty());
}

void MovieControlTest::playAfterAFailedFirstOpenDoesNothing() {
  MovieFixture f;
  f.dir.Write("broken.srt", "1\n00:00:00,000 --> 00:00:09,000\nshown without a movie\n");
  Movix().playResult = 1;
  f.Open("broken.avi");
  QCOMPARE(f.prompts.messages.size(), size_t{1});
  f.fmMain->ApplicationEvents1Idle();
  for (QAction* command : {f.fmMain->Play1, f.fmMain->Pause1, f.fmMain->Stop1, f.fmMain->NN1,
                           f.fmMain->NN2, f.fmMain->NN3})
    QVERIFY2(!command->isEnabled(), qPrintable(command->text()));
  Movix().Take();
  const QSize before = f.fmMain->size();
  f.fmMain->Play1Click();
  f.fmMain->NN1Click();
  QVERIFY(!f.fmMain->tmMovie->isActive());
  QCOMPARE(f.fmMain->size(), before);
  QVERIFY(Movix().Take().empty());
  QCOMPARE(f.fmMain->lbSubtitle->Text(), std::string("Subtitle will display here !!!"));
}

void MovieControlTest::companionSubtitleIsFoundInOrder() {
  MovieFixture f;
  f.dir.Write("film.srt", "1\n00:00:01,000 --> 00:00:02,000\nsrt\n");
  f.dir.Write("film.ssa", "[Script Info]\nDialogue: 0,0:00:01.00,0:00:02.00,D,,0,0,0,,ssa\n");
  f.Open("film.avi");
  QVERIFY(QString::fromStdString(f.fmMain->Subtitles.SubtitleFileName).endsWith("film.srt"));
  f.Open("other.avi");  // nothing beside it: the subtitles stay
  QVERIFY(QString::fromStdString(f.fmMain->Subtitles.SubtitleFileName).endsWith("film.srt"));
  f.dir.Write("show.ass", "[Script Info]\nDialogue: 0,0:00:01.00,0:00:02.00,D,,0,0,0,,ass\n");
  f.dir.Write("show.ssa", "[Script Info]\nDialogue: 0,0:00:01.00,0:00:02.00,D,,0,0,0,,ssa\n");
  f.Open("show.avi");
  QCOMPARE(f.fmMain->Subtitles.Text(0), std::string("ssa"));
  f.dir.Write("clip.ass", "[Script Info]\nDialogue: 0,0:00:01.00,0:00:02.00,D,,0,0,0,,ass\n");
  f.Open("clip.avi");
  QCOMPARE(f.fmMain->Subtitles.Text(0), std::string("ass"));
}

void MovieControlTest::transportCommands() {
  MovieFixture f;
  f.Open("film.avi");
  Movix().Take();
  f.fmMain->Pause1->trigger();
  f.fmMain->Pause1->trigger();
  QVERIFY(f.fmMain->tmMovie->isActive());  // the timer runs while paused
  f.fmMain->Stop1->trigger();
  QVERIFY(!f.fmMain->tmMovie->isActive());
  f.fmMain->ApplicationEvents1Idle();
  QVERIFY(f.fmMain->Play1->isEnabled());
  f.fmMain->Play1->trigger();
  QVERIFY(f.fmMain->tmMovie->isActive());
  QCOMPARE(Movix().Take(), Calls({"PauseMovie", "PauseMovie", "StopMovie", "PlayMovie"}));
}

void MovieControlTest::playFileAndContinuedPlayFileOffsets() {
  MovieFixture f;
  f.Open("part1.avi");
  f.fmMain->ContinuedPlayFile1->trigger();  // cancelled: the offset still grows
  QCOMPARE(f.fmMain->ContinuedOffset, 90000);
  f.fmMain->ContinuedPlayFile1->trigger();
  QCOMPARE(f.fmMain->ContinuedOffset, 180000);
  Movix().duration = 1000;
  f.prompts.files.push_back(QString::fromStdString(f.dir.Write("part2.avi", "x")));
  f.fmMain->ContinuedPlayFile1->trigger();
  QCOMPARE(f.fmMain->ContinuedOffset, 270000);
  QCOMPARE(f.fmMain->MovieDuration, 1000);
  f.fmMain->PlayFile1->trigger();  // cancelled: both are cleared all the same
  QCOMPARE(f.fmMain->ContinuedOffset, 0);
  QCOMPARE(f.fmMain->MovieDuration, 0);
  f.fmMain->ApplicationEvents1Idle();
  QVERIFY(!f.fmMain->ContinuedPlayFile1->isEnabled());
}

void MovieControlTest::dropOpensTheFirstFileAsAMovie() {
  MovieFixture f;
  f.fmMain->ContinuedOffset = 500;
  const std::string first = f.dir.Write("a.srt", "1\n");
  f.fmMain->DropFileTarget1Drop({first, "/b.avi", "/c.avi"});
  QCOMPARE(Movix().Take().front(), "PlayFile " + first);
  QCOMPARE(f.fmMain->ContinuedOffset, 500);  // a drop keeps it
  f.fmMain->DropFileTarget1Drop({});
  QVERIFY(Movix().Take().empty());
  // A real drop event over the window: accepted as a copy.
  // A real drop over the window, accepted as a copy. A name that is not valid UTF-8
  // reaches the library with its bytes.
  const struct {
    QUrl url;
    std::string path;
  } drops[] = {{QUrl::fromLocalFile(QString::fromStdString(first)), first},
               {QUrl("file:///films/caf%E9.avi"), "/films/caf\xe9.avi"}};
  for (const auto& d : drops) {
    QMimeData data;
    data.setUrls({d.url});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                          {});
    QCoreApplication::sendEvent(f.fmMain.get(), &enter);
    QVERIFY(enter.isAccepted());
    QCOMPARE(enter.dropAction(), Qt::CopyAction);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(f.fmMain.get(), &drop);
    const Calls calls = Movix().Take();
    QVERIFY(!calls.empty());
    QCOMPARE(calls.front(), "PlayFile " + d.path);
  }
}

void MovieControlTest::clockShowsTheSubtitleAtTheOffset_data() {
  QTest::addColumn<int>("rate");
  QTest::addColumn<int>("offset");
  QTest::addColumn<int>("shift");  // frames the lookup runs ahead of the movie
  QTest::newRow("+1000 ms at 25 fps") << 25000 << 1000 << 25;
  QTest::newRow("-1500 ms at 23.976 fps") << 23976 << -1500 << -36;
  QTest::newRow("no offset") << 25000 << 0 << 0;
}

void MovieControlTest::clockShowsTheSubtitleAtTheOffset() {
  QFETCH(int, rate);
  QFETCH(int, offset);
  QFETCH(int, shift);
  MovieFixture f(rate);
  f.dir.Write("film.sub", "{1000}{1000}at 1000\n");  // frames: the rate plays no part
  f.Open("film.avi");
  f.fmSynchronize->seSyn->setValue(offset);
  f.Tick(1000 - shift);
  QCOMPARE(f.fmMain->lbSubtitle->Text(), std::string("at 1000"));
  QCOMPARE(f.fmSub->lbSub->Text(), std::string("at 1000"));
  QCOMPARE(f.fmMain->tbMain->value(), 1000 - shift);  // the seek bar never has the offset
  QVERIFY(f.fmMain->sbMain->PanelText(0).startsWith(QString::number(1000 - shift) + "/"));
  f.Tick(1001 - shift);
  QCOMPARE(f.fmMain->lbSubtitle->Text(), std::string());
}

void MovieControlTest::clockCarriesTheContinuedOffset() {
  MovieFixture f;
  f.dir.Write("film.sub", "{90100}{90100}second part\n");
  f.Open("film.avi");
  f.fmMain->ContinuedOffset = 90000;
  f.Tick(100);
  QCOMPARE(f.fmMain->tbMain->value(), 100);
  QCOMPARE(f.fmMain->sbMain->PanelText(0), QString("90100/1:0:4"));
  QCOMPARE(f.fmMain->lbSubtitle->Text(), std::string("second part"));
}

void MovieControlTest::frameRateChoiceTakesEffectOnTheNextTick() {
  MovieFixture f(23976);
  f.dir.Write("film.srt", "1\n00:00:10,000 --> 00:00:10,000\nten\n");
  f.Open("film.avi");
  f.Tick(240);
  QCOMPARE(f.fmMain->lbSubtitle->Text(), std::string("ten"));
  f.fmMain->n003->trigger();  // 25: ten seconds are frame 250
  f.Tick(240);
  QCOMPARE(f.fmMain->lbSubtitle->Text(), std::string());
  f.Tick(250);
  QCOMPARE(f.fmMain->lbSubtitle->Text(), std::string("ten"));
  QCOMPARE(f.fmMain->sbMain->PanelText(0), QString("250/0:0:10"));
}

void MovieControlTest::anotherFileNeverShowsThePreviousText() {
  MovieFixture f;
  f.dir.Write("film.sub", "{0}{1000}old\n");
  f.Open("film.avi");
  f.Tick(500);
  QCOMPARE(f.fmMain->lbSubtitle->Text(), std::string("old"));
  f.fmMain->OpenSubtitleFile(f.dir.Write("new.sub", "{400}{450}new\n"));
  f.Tick(500);
  QCOMPARE(f.fmMain->lbSubtitle->Text(), std::string());
  f.Tick(420);
  QCOMPARE(f.fmMain->lbSubtitle->Text(), std::string("new"));
}

void MovieControlTest::hookAnswersPlaybackEventsAndTheSeekBar() {
  MovieFixture f;
  f.Open("film.avi");
  Movix().Take();
  QCoreApplication::postEvent(f.fmMain->plMovie, new WindowMessage(kPlaybackEvent));
  QCoreApplication::postEvent(f.fmMain->plMovie, new WindowMessage(kPlaybackEvent));
  QCoreApplication::sendPostedEvents();
  QCOMPARE(Movix().Take(), Calls({"GraphNotify", "GraphNotify"}));
  // One that is taken back before it is dispatched is never answered.
  QCoreApplication::postEvent(f.fmMain->plMovie, new WindowMessage(kPlaybackEvent));
  QCoreApplication::removePostedEvents(f.fmMain->plMovie, kPlaybackEvent);
  QCoreApplication::sendPostedEvents();
  QVERIFY(Movix().Take().empty());

  QSlider* bar = f.fmMain->tbMain;
  f.Tick(10);
  QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, bar->height() / 2));
  QVERIFY(f.fmMain->SeekDragging);
  bar->setValue(5000);  // the thumb follows the mouse only
  f.Tick(20);
  QCOMPARE(bar->value(), 5000);
  QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, bar->height() / 2));
  QVERIFY(!f.fmMain->SeekDragging);
  QCOMPARE(Movix().Take(), Calls({"SetPos " + std::to_string(bar->value())}));
  f.Tick(30);
  QCOMPARE(bar->value(), 30);
  // A quick second press comes as a double-click: it holds the thumb as well.
  const QPointF middle(bar->width() / 2, bar->height() / 2);
  QMouseEvent second(QEvent::MouseButtonDblClick, middle, bar->mapToGlobal(middle), Qt::LeftButton,
                     Qt::LeftButton, {});
  QCoreApplication::sendEvent(bar, &second);
  QVERIFY(f.fmMain->SeekDragging);
  bar->setValue(700);
  f.Tick(40);
  QCOMPARE(bar->value(), 700);
}

void MovieControlTest::windowKeepsThePictureProportion() {
  MovieFixture f;
  f.fmMain->SetClientSize(700, 500);  // no movie: no proportion
  QCOMPARE(f.fmMain->ClientHeight(), 500);
  f.Open("film.avi");
  Movix().Take();
  f.fmMain->SetClientSize(1280, 300);
  QCOMPARE(f.fmMain->ClientWidth(), 1280);
  QCOMPARE(f.fmMain->ClientHeight(), 544 + 19 + 83 + 4 + 17);
  QVERIFY(!Movix().Take().empty());  // the panel's new size went to the library
  f.fmMain->Stop1->trigger();
  f.fmMain->SetClientSize(700, 500);
  QCOMPARE(f.fmMain->ClientHeight(), 500);
  const Calls calls = Movix().Take();
  QCOMPARE(std::count(calls.begin(), calls.end(), "SizeChange"), 0);  // stopped: no fitting
}

void MovieControlTest::stopNoticeAndCloseStopTheMovie() {
  MovieFixture f;
  f.Open("film.avi");
  Movix().Take();
  QCoreApplication::postEvent(f.fmMain.get(), new WindowMessage(kStopPlayback));
  QCoreApplication::sendPostedEvents();
  QVERIFY(!f.fmMain->tmMovie->isActive());
  QCOMPARE(Movix().Take(), Calls({"StopMovie"}));
  f.fmMain->Play1->trigger();
  Movix().Take();
  f.fmMain->close();  // stopped before the close releases the hook
  QCOMPARE(Movix().Take(), Calls({"StopMovie", "FreeHook"}));
  QVERIFY(std::filesystem::exists(f.SettingsFile()));
}

}  // namespace captivo::test

int RunMovieControlTests(int argc, char** argv) {
  captivo::test::MovieControlTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "movie_control_test.moc"
