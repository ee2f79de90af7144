#include "movie_control.h"

#include <QCoreApplication>
#include <QTimer>
#include <algorithm>

#include "movie_library.h"
#include "movie_panel.h"
#include "movix.h"
#include "start_trace.h"

namespace captivo {

MovieControl::MovieControl(MoviePanel* panel, QObject* parent)
    : QObject(parent), panel_(panel), clock_(new QTimer(this)) {
  clock_->setObjectName("tmMovie");
  clock_->setInterval(100);
  connect(clock_, &QTimer::timeout, this, &MovieControl::tick);
  connect(panel, &MoviePanel::playbackEvents, this, [] { GraphNotify(); });
  connect(panel, &MoviePanel::resized, this, &MovieControl::FitPictureToPanel);
}

void MovieControl::Open() {
  TraceStep("opening the movie");
  // The library may still be loading beside the start: the window paints meanwhile.
  while (!MovieLibraryLoaded(5))
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  ::SetVolume(volume_);
  ::SetMute(muted_ ? 1 : 0);
  // A file that cannot be played leaves the movie that plays, if any, as it was.
  if (::PlayFile(fileName_.c_str(), panel_) != 0) {
    emit openFailed();
    return;
  }
  audioTrack_ = 0;
  int32_t rate = 0;
  GetFrameRate(&rate);
  emit frameRateRead(rate / 1000.0);
  // The library now holds what was opened, a movie or not.
  if (rate <= 0) {
    Enter(MovieState::NoMovie);
    StopMovie();
    emit frameRateFailed();
    return;
  }
  Enter(MovieState::Playing);
  GetDur(&duration_);
  int32_t width = 0, height = 0;
  GetVideoWH(&width, &height);
  pictureSize_ = QSize(width, height);
  emit opened();
}

void MovieControl::Enter(MovieState state) {
  state_ = state;
  if (IsRunning())
    clock_->start();
  else
    clock_->stop();
}

void MovieControl::Play() {
  if (!IsOpen()) return;  // nothing to play, and no frame rate for the clock
  PlayMovie();
  Enter(MovieState::Playing);
}

void MovieControl::Pause() {
  PauseMovie();
  if (IsRunning()) Enter(state_ == MovieState::Playing ? MovieState::Paused : MovieState::Playing);
}

void MovieControl::Stop() {
  if (IsOpen()) Enter(MovieState::Stopped);
  StopMovie();
}

int32_t MovieControl::Position() const {
  int32_t frame = 0;
  GetPos(&frame);
  return frame;
}

void MovieControl::Seek(int32_t frame) {
  SetPos(frame);
}

std::optional<int32_t> MovieControl::SeekBy(int32_t frames) {
  if (!IsRunning()) return std::nullopt;
  const int64_t wanted = static_cast<int64_t>(Position()) + frames;
  const auto frame =
      static_cast<int32_t>(std::clamp<int64_t>(wanted, 0, std::max(duration_ - 1, 0)));
  Seek(frame);
  return frame;
}

void MovieControl::SetVolume(int percent) {
  volume_ = std::clamp(percent, 0, 100);
  if (IsOpen()) ::SetVolume(volume_);
}

void MovieControl::SetMuted(bool on) {
  muted_ = on;
  if (IsOpen()) ::SetMute(muted_ ? 1 : 0);
}

void MovieControl::SetAudioTrack(int32_t number) {
  if (!IsOpen()) return;
  ::SetAudioTrack(number);
  audioTrack_ = number;
}

void MovieControl::SetFullScreen(bool on) {
  ::SetFullScreen(on ? 1 : 0);
  fullScreen_ = on;
}

QWidget* MovieControl::FullScreenWindow() const {
  return static_cast<QWidget*>(GetFullScreenWindow());
}

void MovieControl::FitPictureToPanel() {
  if (!IsRunning()) return;
  SizeChange();
  emit pictureRefitted();
}

}  // namespace captivo
