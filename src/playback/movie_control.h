#pragma once

#include <QObject>
#include <QSize>
#include <cstdint>
#include <optional>
#include <string>

class QTimer;

namespace captivo {

class MoviePanel;

// Where the movie stands. A movie is open in every state but NoMovie; the subtitle clock
// ticks while it plays or is paused (it "runs").
enum class MovieState { NoMovie, Playing, Paused, Stopped };

// The movie and what the movie library reports of it: the file, length and picture size,
// where it stands, whether it is full screen. The commands go to the library from here;
// the window hears of what changed through the signals. (The movie's frame rate is told
// once, by frameRateRead, to the subtitle timing that keeps it.)
class MovieControl : public QObject {
  Q_OBJECT
 public:
  MovieControl(MoviePanel* panel, QObject* parent);

  // MovieFileName: the file's bytes; set before Open, kept when opening fails.
  const std::string& FileName() const { return fileName_; }
  void SetFileName(std::string path) { fileName_ = std::move(path); }
  MovieState State() const { return state_; }
  // The library holds a movie that opened with a frame rate.
  bool IsOpen() const { return state_ != MovieState::NoMovie; }
  // The subtitle clock runs: the movie plays or is paused.
  bool IsRunning() const { return state_ == MovieState::Playing || state_ == MovieState::Paused; }
  bool IsFullScreen() const { return fullScreen_; }
  int32_t Duration() const { return duration_; }  // MovieDuration, frames
  QSize PictureSize() const { return pictureSize_; }
  // SeekDragging: the left button is held on the seek bar; the clock leaves its thumb.
  bool SeekDragging() const { return seekDragging_; }
  void SetSeekDragging(bool held) { seekDragging_ = held; }

  // MovieDuration := 0: the next movie starts the continued count afresh.
  void ForgetDuration() { duration_ = 0; }
  // Opens FileName: openFailed and nothing else changes; or frameRateRead, then either
  // frameRateFailed (the movie is stopped) or opened (it runs).
  void Open();
  void Play();
  void Pause();  // pauses a movie that plays, and resumes one that is paused
  void Stop();
  int32_t Position() const;  // the library's frame, within the file
  void Seek(int32_t frame);
  // Moves the movie that runs by `frames`, held inside the file: the frame sought, none
  // when the movie does not run.
  std::optional<int32_t> SeekBy(int32_t frames);
  // The sound: a level of 0 to 100 and the mute switch. The library hears of them now
  // when it holds a movie, else with the next movie (it may still be loading).
  int Volume() const { return volume_; }
  bool IsMuted() const { return muted_; }
  void SetVolume(int percent);
  void SetMuted(bool on);
  // The movie's audio track by its place among the audio tracks, from 1 (movix.h).
  void SetAudioTrack(int32_t number);
  // The audio track set since the movie opened, from 1; 0: the one the library took.
  int32_t AudioTrack() const { return audioTrack_; }
  // The picture over the whole screen (the library's) or back in the panel.
  void SetFullScreen(bool on);
  // Full screen ended without the library being asked (it ended it itself).
  void ForgetFullScreen() { fullScreen_ = false; }
  // The library's full-screen window while full screen is on, else nullptr.
  QWidget* FullScreenWindow() const;

 signals:
  void openFailed();
  void frameRateRead(double rate);
  void frameRateFailed();
  void opened();
  void tick();             // every 100 ms while the movie runs
  void pictureRefitted();  // the picture was fitted to the panel's new size

 private:
  void FitPictureToPanel();  // plMovieResize
  // The new state, with the clock running while the movie does.
  void Enter(MovieState state);

  MoviePanel* panel_;
  QTimer* clock_;  // tmMovie
  std::string fileName_;
  MovieState state_ = MovieState::NoMovie;
  bool fullScreen_ = false;  // FullScreenActive
  bool seekDragging_ = false;
  int32_t duration_ = 0;
  QSize pictureSize_;
  int volume_ = 100;
  bool muted_ = false;
  int32_t audioTrack_ = 0;
};

}  // namespace captivo
