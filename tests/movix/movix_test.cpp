// The movie library with real libmpv and real files: what the program relies on.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>
#include <string>

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>

#include "full_screen_window.h"
#include "movix.h"
#include "window_messages.h"

namespace {

std::string Media(const char* name) {
  return std::string(CAPTIVO_MEDIA_DIR) + "/" + name;
}

// Stands in for the program's hook: answers each playback event with GraphNotify and
// counts the stop notices that reach the window.
class EventPump : public QWidget {
 public:
  int stopNotices = 0;
  bool event(QEvent* event) override {
    if (event->type() == captivo::kStopPlayback) ++stopNotices;
    return QWidget::event(event);
  }
};

class Panel : public QWidget {
 public:
  using QWidget::QWidget;
  bool event(QEvent* event) override {
    if (event->type() == captivo::kPlaybackEvent) GraphNotify();
    return QWidget::event(event);
  }
};

class MovixTest : public ::testing::Test {
 protected:
  void SetUp() override { panel = new Panel(&window); }
  // Runs the event loop for `ms` milliseconds.
  void Pump(int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  int32_t Position() {
    int32_t frame = -1;
    GetPos(&frame);
    return frame;
  }
  EventPump window;
  Panel* panel;
};

// First in this file, so that it runs before any test opens a movie: the library answers zeros and
// ignores the commands that need one.
TEST(MovixBeforeAnyMovie, AnswersZerosAndIgnoresCommands) {
  SetPos(10);
  PlayMovie();
  PauseMovie();
  StopMovie();
  SizeChange();
  SetFullScreen(0);
  GraphNotify();
  int32_t rate = -1, frames = -1, width = -1, height = -1, position = -1;
  GetFrameRate(&rate);
  GetDur(&frames);
  GetVideoWH(&width, &height);
  GetPos(&position);
  EXPECT_EQ(rate, 0);
  EXPECT_EQ(frames, 0);
  EXPECT_EQ(width, 0);
  EXPECT_EQ(height, 0);
  EXPECT_EQ(position, 0);
}

TEST_F(MovixTest, ReportsTheOpenedMovie) {
  struct Expected {
    const char* file;
    int32_t rate, width, height, minFrames, maxFrames;
  } movies[] = {
      {"movie-640x272-25.avi", 25000, 640, 272, 299, 302},
      {"movie-1280x720-23976.mp4", 23976, 1280, 720, 478, 481},
  };
  for (const Expected& m : movies) {
    ASSERT_EQ(PlayFile(Media(m.file).c_str(), panel), 0) << m.file;
    int32_t rate = 0, frames = 0, width = 0, height = 0;
    GetFrameRate(&rate);
    GetDur(&frames);
    GetVideoWH(&width, &height);
    EXPECT_EQ(rate, m.rate) << m.file;
    EXPECT_GE(frames, m.minFrames) << m.file;
    EXPECT_LE(frames, m.maxFrames) << m.file;
    EXPECT_EQ(width, m.width);
    EXPECT_EQ(height, m.height);
  }
}

TEST_F(MovixTest, PositionAdvancesPausesSeeksAndStops) {
  ASSERT_EQ(PlayFile(Media("movie-640x272-25.avi").c_str(), panel), 0);
  Pump(600);
  const int32_t moving = Position();
  EXPECT_GT(moving, 5);

  PauseMovie();
  Pump(200);
  const int32_t paused = Position();
  Pump(400);
  EXPECT_EQ(Position(), paused);  // a paused movie stands still

  SetPos(100);  // exact: lands on the frame asked for
  Pump(500);
  EXPECT_EQ(Position(), 100);

  PauseMovie();  // the toggle resumes
  Pump(400);
  EXPECT_GT(Position(), 100);

  StopMovie();
  Pump(400);
  EXPECT_EQ(Position(), 0);
  Pump(300);
  EXPECT_EQ(Position(), 0);  // stopped: no longer advancing
  PlayMovie();
  Pump(400);
  EXPECT_GT(Position(), 0);
}

TEST_F(MovixTest, TheEndOfTheMovieIsToldToTheWindowOnce) {
  ASSERT_EQ(PlayFile(Media("movie-640x272-25.avi").c_str(), panel), 0);
  SetPos(290);
  Pump(1500);
  EXPECT_EQ(window.stopNotices, 1);
  Pump(300);
  EXPECT_EQ(window.stopNotices, 1);
}

TEST_F(MovixTest, FilesThatAreNoMoviesAreRefused) {
  for (const char* file :
       {"random.avi", "text.avi", "empty.avi", "truncated.avi", "playlist.avi", "missing.avi"}) {
    QElapsedTimer clock;
    clock.start();
    EXPECT_NE(PlayFile(Media(file).c_str(), panel), 0) << file;
    EXPECT_LT(clock.elapsed(), 5000) << file;
  }
  // Sound alone plays, but has no frame rate.
  ASSERT_EQ(PlayFile(Media("audio-only.wav").c_str(), panel), 0);
  int32_t rate = -1;
  GetFrameRate(&rate);
  EXPECT_EQ(rate, 0);
  // A movie opens again after all that.
  EXPECT_EQ(PlayFile(Media("movie-640x272-25.avi").c_str(), panel), 0);
}

TEST_F(MovixTest, AFileThatCannotPlayLeavesThePlayingMovieUntouched) {
  ASSERT_EQ(PlayFile(Media("movie-1280x720-23976.mp4").c_str(), panel), 0);
  Pump(300);
  for (const std::string& file :
       {Media("text.avi"), Media("random.avi"), Media("playlist.avi"), Media("missing.avi"),
        std::string("movie-640x272-25.avi"), std::string("av://lavfi:testsrc")}) {
    const int32_t before = Position();
    EXPECT_NE(PlayFile(file.c_str(), panel), 0) << file;
    Pump(400);
    int32_t rate = 0, width = 0, height = 0;
    GetFrameRate(&rate);
    GetVideoWH(&width, &height);
    EXPECT_EQ(rate, 23976) << file;
    EXPECT_EQ(width, 1280) << file;
    EXPECT_EQ(height, 720) << file;
    EXPECT_GT(Position(), before) << file << ": the movie goes on";
  }
}

TEST_F(MovixTest, OnlyAbsolutePathsOfLocalFilesOpen) {
  // mpv would open its own sources and addresses; the library takes files only.
  for (const char* text : {"av://lavfi:testsrc=size=64x64", "lavfi://testsrc", "movie.avi", ""})
    EXPECT_NE(PlayFile(text, panel), 0) << text;
  EXPECT_EQ(PlayFile(Media("movie-640x272-25.avi").c_str(), panel), 0);
}

TEST(FullScreenWindow, ClosingHandsBackWhatTheProgramLaidOverThePicture) {
  QWidget program;  // stands in for the program's own widgets
  for (bool byUser : {true, false}) {
    int notices = 0;
    auto* window =
        new movix::FullScreenWindow(QGuiApplication::primaryScreen(), [&] { ++notices; });
    auto* picture = new QWidget;
    window->SetPicture(picture);
    auto* overlay = new QWidget(&program);
    overlay->setParent(window);
    overlay->show();
    window->show();
    EXPECT_EQ(window->geometry(), QGuiApplication::primaryScreen()->geometry());
    EXPECT_EQ(picture->geometry(), window->rect());
    QPointer<QWidget> picturePointer(picture);
    if (byUser) {  // a double click closes it, and the program is told
      QMouseEvent twice(QEvent::MouseButtonDblClick, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                        Qt::LeftButton, {});
      QCoreApplication::sendEvent(window, &twice);
    } else {
      window->CloseQuietly();
    }
    EXPECT_EQ(notices, byUser ? 1 : 0);
    // The overlay is the program's again: hidden, without a parent, alive.
    EXPECT_FALSE(overlay->parentWidget());
    EXPECT_FALSE(overlay->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(picturePointer);  // the picture went with the window
    delete overlay;
  }
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
