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
#include <QTimer>

#include "full_screen_window.h"
#include "movix.h"
#include "player.h"
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

struct Sound {
  double volume;
  bool muted;
};

// The level and muting mpv itself reports for the main player.
Sound EngineSound() {
  Sound sound{-1, false};
  EXPECT_TRUE(movix::Player::Instance().EngineSound(sound.volume, sound.muted));
  return sound;
}

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

// First among the tests that open movies: the sound set before the engine exists is kept
// until it starts.
TEST_F(MovixTest, SoundSetBeforeAnyMovieHoldsOnceOneOpens) {
  SetVolume(30);
  SetMute(1);
  ASSERT_EQ(PlayFile(Media("movie-640x272-25.avi").c_str(), panel), 0);
  Sound sound = EngineSound();
  EXPECT_EQ(sound.volume, 30);
  EXPECT_TRUE(sound.muted);
  SetMute(0);
  sound = EngineSound();
  EXPECT_EQ(sound.volume, 30);  // unmuting keeps the level
  EXPECT_FALSE(sound.muted);
}

TEST_F(MovixTest, VolumeAndMuteHoldForThePlayingMovieAndTheNext) {
  struct Case {
    int32_t asked;
    double applied;
  } cases[] = {{40, 40}, {-5, 0}, {250, 100}, {100, 100}, {0, 0}};
  for (const Case& c : cases) {
    ASSERT_EQ(PlayFile(Media("movie-640x272-25.avi").c_str(), panel), 0);
    SetVolume(c.asked);
    SetMute(1);
    Sound sound = EngineSound();
    EXPECT_EQ(sound.volume, c.applied) << c.asked;
    EXPECT_TRUE(sound.muted) << c.asked;
    // A file that cannot play is tried on the probe player and leaves the sound alone.
    EXPECT_NE(PlayFile(Media("random.avi").c_str(), panel), 0);
    ASSERT_EQ(PlayFile(Media("movie-1280x720-23976.mp4").c_str(), panel), 0);
    sound = EngineSound();
    EXPECT_EQ(sound.volume, c.applied) << c.asked << ": the next movie";
    EXPECT_TRUE(sound.muted) << c.asked << ": the next movie";
    SetMute(0);
    sound = EngineSound();
    EXPECT_EQ(sound.volume, c.applied) << c.asked;
    EXPECT_FALSE(sound.muted) << c.asked;
  }
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

// The movie's own subtitles are the program's: mpv, asked itself, picks none of a movie's
// subtitle tracks, not even the one the file flags as default, and would draw none.
TEST_F(MovixTest, TheEngineNeverPicksTheMoviesOwnSubtitles) {
  ASSERT_EQ(PlayFile(Media("tracks.mkv").c_str(), panel), 0);
  const movix::Player& player = movix::Player::Instance();
  int subtitles = 0, flaggedDefault = 0;
  const int count = std::stoi("0" + player.EngineProperty("track-list/count"));
  for (int i = 0; i < count; ++i) {
    const std::string track = "track-list/" + std::to_string(i) + "/";
    if (player.EngineProperty((track + "type").c_str()) != "sub") continue;
    ++subtitles;
    flaggedDefault += player.EngineProperty((track + "default").c_str()) == "yes";
    EXPECT_EQ(player.EngineProperty((track + "selected").c_str()), "no") << track;
  }
  EXPECT_EQ(subtitles, 4);
  EXPECT_EQ(flaggedDefault, 1);
  EXPECT_EQ(player.EngineProperty("sid"), "no");
  EXPECT_EQ(player.EngineProperty("sub-visibility"), "no");
  StopMovie();
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

TEST(FullScreenWindow, TheCursorHidesWhileTheMouseStandsStill) {
  auto* window = new movix::FullScreenWindow(QGuiApplication::primaryScreen(), [] {});
  window->SetPicture(new QWidget);
  window->show();
  QWidget program;  // the program's overlay, laid over the picture after the window opened
  auto* overlay = new QWidget(&program);
  overlay->setParent(window);
  auto* insideOverlay = new QWidget(overlay);  // and something the overlay adds later
  overlay->show();
  auto* idle = window->findChild<QTimer*>();
  ASSERT_TRUE(idle);
  const auto hidden = [&] { return window->cursor().shape() == Qt::BlankCursor; };
  // Skips the wait: the timer runs out at once.
  const auto standStill = [&] {
    ASSERT_TRUE(idle->isActive());
    EXPECT_EQ(idle->interval(), movix::FullScreenWindow::kCursorHideDelayMs);
    idle->start(0);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
  };
  for (QWidget* movedOver : {static_cast<QWidget*>(window), overlay, insideOverlay}) {
    EXPECT_TRUE(movedOver->hasMouseTracking());
    QMouseEvent move(QEvent::MouseMove, QPointF(7, 7), QPointF(7, 7), Qt::NoButton, Qt::NoButton,
                     {});
    QCoreApplication::sendEvent(movedOver, &move);
    EXPECT_FALSE(hidden()) << movedOver;
    standStill();
    EXPECT_TRUE(hidden()) << movedOver;
    // The widgets inside show the window's cursor.
    EXPECT_EQ(insideOverlay->cursor().shape(), Qt::BlankCursor);
    QCoreApplication::sendEvent(movedOver, &move);
    EXPECT_FALSE(hidden()) << movedOver;
  }
  standStill();
  QPointer<movix::FullScreenWindow> closing(window);
  window->CloseQuietly();
  EXPECT_FALSE(hidden());  // full screen over: the cursor is the usual one
  // Handed back, the overlay no longer reaches the closed window.
  QMouseEvent move(QEvent::MouseMove, QPointF(7, 7), QPointF(7, 7), Qt::NoButton, Qt::NoButton, {});
  QCoreApplication::sendEvent(insideOverlay, &move);
  EXPECT_FALSE(idle->isActive());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(closing);
  delete overlay;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
