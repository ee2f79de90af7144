#include "player.h"

#include <mpv/client.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "window_messages.h"

namespace movix {

namespace {

// How long opening a file may take before it counts as one that cannot be played.
constexpr int kOpenTimeoutMs = 10000;

enum PropertyId : uint64_t { kTimePos = 1, kEofReached };

int32_t Frames(double seconds, double rate) {
  const double frames = std::nearbyint(seconds * rate);
  if (!(frames > -2147483648.0)) return frames != frames ? 0 : INT32_MIN;
  return frames < 2147483647.0 ? static_cast<int32_t>(frames) : INT32_MAX;
}

double DoubleProperty(mpv_handle* mpv, const char* name) {
  double value = 0;
  return mpv_get_property(mpv, name, MPV_FORMAT_DOUBLE, &value) >= 0 ? value : 0;
}

int64_t IntProperty(mpv_handle* mpv, const char* name) {
  int64_t value = 0;
  return mpv_get_property(mpv, name, MPV_FORMAT_INT64, &value) >= 0 ? value : 0;
}

}  // namespace

Player& Player::Instance() {
  static Player player;
  return player;
}

Player::~Player() {
  if (surfaceWidget_) delete surfaceWidget_;
  if (mpv_) mpv_terminate_destroy(mpv_);
}

void Player::Wakeup(void* opaque) {
  // mpv's thread: only announce; the events are read on the GUI thread by GraphNotify.
  auto* player = static_cast<Player*>(opaque);
  QObject* target = player->eventTarget_.load();
  if (!target || player->wakeupPosted_.exchange(true)) return;
  QCoreApplication::postEvent(target, new captivo::WindowMessage(captivo::kPlaybackEvent));
}

bool Player::EnsureStarted(QWidget* panel) {
  if (!mpv_) {
    std::setlocale(LC_NUMERIC, "C");  // libmpv reads numbers the C way
    mpv_ = mpv_create();
    if (!mpv_) return false;
    output_ = ChosenVideoOutput();
    mpv_set_option_string(mpv_, "vo", output_ == VideoOutput::None ? "null" : "libmpv");
    if (output_ == VideoOutput::None) mpv_set_option_string(mpv_, "ao", "null");
    mpv_set_option_string(mpv_, "keep-open", "yes");
    mpv_set_option_string(mpv_, "idle", "yes");
    mpv_set_option_string(mpv_, "hr-seek", "yes");
    mpv_set_option_string(mpv_, "input-default-bindings", "no");
    mpv_set_option_string(mpv_, "input-vo-keyboard", "no");
    mpv_set_option_string(mpv_, "osc", "no");
    mpv_set_option_string(mpv_, "terminal", "no");
    mpv_set_option_string(mpv_, "sub-auto", "no");  // subtitles are ours
    mpv_set_option_string(mpv_, "ytdl", "no");
    if (const char* log = std::getenv("CAPTIVO_MPV_LOG"))
      mpv_set_option_string(mpv_, "log-file", log);
    if (mpv_initialize(mpv_) < 0) {
      mpv_terminate_destroy(mpv_);
      mpv_ = nullptr;
      return false;
    }
    mpv_observe_property(mpv_, kTimePos, "time-pos", MPV_FORMAT_DOUBLE);
    mpv_observe_property(mpv_, kEofReached, "eof-reached", MPV_FORMAT_FLAG);
  }
  if (panel_ != panel) {
    if (surfaceWidget_) delete surfaceWidget_;
    surface_ = nullptr;
    panel_ = panel;
    eventTarget_ = panel;
    if (!panel) return false;
    mpv_set_wakeup_callback(mpv_, Wakeup, this);
    // When the panel goes, mpv stops announcing events; mpv's lock makes sure no
    // announcement is under way once the callback is taken away.
    QObject::connect(panel, &QObject::destroyed, [this, panel] {
      if (eventTarget_.load() != panel) return;
      mpv_set_wakeup_callback(mpv_, nullptr, nullptr);
      eventTarget_ = nullptr;
    });
    surface_ = CreateVideoSurface(output_, mpv_, panel);
    if (surface_) {
      surfaceWidget_ = surface_->Widget();
      surfaceWidget_->setGeometry(panel->rect());
      surfaceWidget_->show();
    }
  }
  return true;
}

bool Player::Play(const char* path, QWidget* panel) {
  if (!path || !EnsureStarted(panel)) return false;
  // The entry this file gets: events of other entries (the one it replaces, or what a
  // playlist would have expanded to) are no concern of this open.
  const char* command[] = {"loadfile", path, "replace", nullptr};
  mpv_node result;
  if (mpv_command_ret(mpv_, command, &result) < 0) return false;
  loadingEntry_ = -1;
  if (result.format == MPV_FORMAT_NODE_MAP)
    for (int i = 0; i < result.u.list->num; ++i)
      if (std::strcmp(result.u.list->keys[i], "playlist_entry_id") == 0 &&
          result.u.list->values[i].format == MPV_FORMAT_INT64)
        loadingEntry_ = result.u.list->values[i].u.int64;
  mpv_free_node_contents(&result);
  QElapsedTimer clock;
  clock.start();
  bool playing = false, failed = false, started = false;
  opening_ = true;
  while (!playing && !failed && clock.elapsed() < kOpenTimeoutMs) {
    const mpv_event* event = mpv_wait_event(mpv_, 0.005);
    switch (event->event_id) {
      case MPV_EVENT_NONE:
        // The first picture is drawn on this thread: let the surface paint while waiting.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        break;
      case MPV_EVENT_START_FILE:
        started = started || static_cast<mpv_event_start_file*>(event->data)->playlist_entry_id ==
                                 loadingEntry_;
        break;
      case MPV_EVENT_END_FILE:
        // An error, or a playlist in the movie's place: this file cannot be played.
        failed = static_cast<mpv_event_end_file*>(event->data)->playlist_entry_id == loadingEntry_;
        break;
      case MPV_EVENT_PLAYBACK_RESTART:
        playing = started;
        break;
      default:
        Handle(*event);
        break;
    }
  }
  opening_ = false;
  int image = 0;
  mpv_get_property(mpv_, "current-tracks/video/image", MPV_FORMAT_FLAG, &image);
  if (!playing || image) {  // a still picture is no movie
    const char* stop[] = {"stop", nullptr};
    mpv_command(mpv_, stop);
    frameRate_ = duration_ = timePos_ = 0;
    width_ = height_ = 0;
    return false;
  }
  ReadOpenedFile();
  SetPaused(false);
  DrainEvents();  // and announcements start again
  return true;
}

void Player::ReadOpenedFile() {
  frameRate_ = DoubleProperty(mpv_, "container-fps");
  duration_ = DoubleProperty(mpv_, "duration");
  timePos_ = DoubleProperty(mpv_, "time-pos");
  width_ = static_cast<int32_t>(IntProperty(mpv_, "width"));
  height_ = static_cast<int32_t>(IntProperty(mpv_, "height"));
  endNoticed_ = false;
}

int32_t Player::FrameRateThousandths() const {
  return Frames(frameRate_, 1000);
}

int32_t Player::DurationFrames() const {
  return Frames(duration_, frameRate_);
}

void Player::VideoSize(int32_t& width, int32_t& height) const {
  width = width_;
  height = height_;
}

int32_t Player::PositionFrame() const {
  return Frames(timePos_, frameRate_);
}

void Player::Seek(int32_t frame) {
  if (!mpv_ || !(frameRate_ > 0)) return;
  const std::string target = std::to_string(frame / frameRate_);
  const char* command[] = {"seek", target.c_str(), "absolute+exact", nullptr};
  mpv_command_async(mpv_, 0, command);
  timePos_ = frame / frameRate_;
}

void Player::SetPaused(bool paused) {
  if (!mpv_) return;
  int flag = paused;
  mpv_set_property(mpv_, "pause", MPV_FORMAT_FLAG, &flag);
}

void Player::TogglePause() {
  if (!mpv_) return;
  const char* command[] = {"cycle", "pause", nullptr};
  mpv_command(mpv_, command);
}

void Player::Stop() {
  // The "stop" command would unload the file: pause at the first frame instead.
  SetPaused(true);
  Seek(0);
}

void Player::FitToPanel() {
  if (surfaceWidget_ && panel_ && !fullScreen_) surfaceWidget_->setGeometry(panel_->rect());
}

void Player::SetFullScreen(bool on) {
  if (!on) {
    ReturnToPanel();
    return;
  }
  if (fullScreen_ || !surfaceWidget_ || !panel_) return;
  QPointer<QWidget> mainWindow = panel_->window();
  fullScreen_ = new FullScreenWindow([this, mainWindow] {
    // Closed by the user: the picture goes back, and the main window is told.
    if (surfaceWidget_ && panel_) {
      surfaceWidget_->setParent(panel_);
      surfaceWidget_->setGeometry(panel_->rect());
      surfaceWidget_->show();
    }
    if (mainWindow)
      QCoreApplication::postEvent(mainWindow,
                                  new captivo::WindowMessage(captivo::kFullScreenEnded));
  });
  surfaceWidget_->setParent(fullScreen_);
  surfaceWidget_->setFocusPolicy(Qt::NoFocus);
  surfaceWidget_->setGeometry(fullScreen_->rect());
  surfaceWidget_->show();
  fullScreen_->show();
  fullScreen_->raise();
  fullScreen_->activateWindow();
  fullScreen_->setFocus();
}

void Player::ReturnToPanel() {
  if (!fullScreen_) return;
  if (surfaceWidget_ && panel_) {
    surfaceWidget_->setParent(panel_);
    surfaceWidget_->setGeometry(panel_->rect());
    surfaceWidget_->show();
  }
  fullScreen_->CloseQuietly();
}

void Player::DrainEvents() {
  if (!mpv_ || opening_) return;  // Play reads the events of a file being opened
  wakeupPosted_ = false;
  for (;;) {
    const mpv_event* event = mpv_wait_event(mpv_, 0);
    if (event->event_id == MPV_EVENT_NONE) break;
    Handle(*event);
  }
}

void Player::Handle(const mpv_event& event) {
  if (event.event_id != MPV_EVENT_PROPERTY_CHANGE) return;
  const auto* property = static_cast<mpv_event_property*>(event.data);
  if (event.reply_userdata == kTimePos && property->format == MPV_FORMAT_DOUBLE) {
    timePos_ = *static_cast<double*>(property->data);
  } else if (event.reply_userdata == kEofReached && property->format == MPV_FORMAT_FLAG &&
             *static_cast<int*>(property->data) && !endNoticed_ && panel_) {
    // The movie has ended: the picture leaves full screen, and the main window is told once.
    endNoticed_ = true;
    ReturnToPanel();
    QCoreApplication::postEvent(panel_->window(),
                                new captivo::WindowMessage(captivo::kStopPlayback));
  }
}

}  // namespace movix
