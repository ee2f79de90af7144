#include "player.h"

#include <mpv/client.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

#include "start_trace.h"
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

// The options every player of this library runs with: no input of its own, no
// subtitles of its own, nothing fetched from the network.
void ApplyOptions(mpv_handle* mpv, const char* videoOutput, bool silent) {
  mpv_set_option_string(mpv, "vo", videoOutput);
  // The sound servers and the sound card; not SDL, which only reaches the same ones again
  // and takes a tenth of a second to fail where there is no sound at all.
  mpv_set_option_string(mpv, "ao", silent ? "null" : "pipewire,pulse,alsa,jack");
  mpv_set_option_string(mpv, "keep-open", "yes");
  mpv_set_option_string(mpv, "idle", "yes");
  mpv_set_option_string(mpv, "hr-seek", "yes");
  mpv_set_option_string(mpv, "input-default-bindings", "no");
  mpv_set_option_string(mpv, "input-vo-keyboard", "no");
  mpv_set_option_string(mpv, "osc", "no");
  // mpv's own scripts serve its own keys and screens, which this library never shows.
  mpv_set_option_string(mpv, "load-scripts", "no");
  mpv_set_option_string(mpv, "load-stats-overlay", "no");
  mpv_set_option_string(mpv, "load-osd-console", "no");
  mpv_set_option_string(mpv, "load-auto-profiles", "no");
  mpv_set_option_string(mpv, "terminal", "no");
  // Subtitles are the program's, those inside the movie too: the engine picks no subtitle
  // track whatever the file's flags say, and would draw none.
  mpv_set_option_string(mpv, "sub-auto", "no");
  mpv_set_option_string(mpv, "sid", "no");
  mpv_set_option_string(mpv, "secondary-sid", "no");
  mpv_set_option_string(mpv, "sub-visibility", "no");
  mpv_set_option_string(mpv, "ytdl", "no");
  if (const char* log = std::getenv("CAPTIVO_MPV_LOG")) mpv_set_option_string(mpv, "log-file", log);
}

// Loads `path` in place of whatever `mpv` plays and waits until it plays (true) or
// cannot be played (false: an error, a playlist in the movie's place, a still picture,
// or no start within the time allowed). `idle` runs while nothing happens; `other`
// gets every event that is not about opening.
bool LoadAndWait(mpv_handle* mpv, const char* path, const std::function<void()>& idle,
                 const std::function<void(const mpv_event&)>& other) {
  // The entry this file gets: events of other entries (the one it replaces, or what a
  // playlist would have expanded to) are no concern of this open.
  const char* command[] = {"loadfile", path, "replace", nullptr};
  mpv_node result;
  if (mpv_command_ret(mpv, command, &result) < 0) return false;
  int64_t entry = -1;
  if (result.format == MPV_FORMAT_NODE_MAP)
    for (int i = 0; i < result.u.list->num; ++i)
      if (std::strcmp(result.u.list->keys[i], "playlist_entry_id") == 0 &&
          result.u.list->values[i].format == MPV_FORMAT_INT64)
        entry = result.u.list->values[i].u.int64;
  mpv_free_node_contents(&result);
  QElapsedTimer clock;
  clock.start();
  bool playing = false, failed = false, started = false;
  while (!playing && !failed && clock.elapsed() < kOpenTimeoutMs) {
    const mpv_event* event = mpv_wait_event(mpv, 0.005);
    switch (event->event_id) {
      case MPV_EVENT_NONE:
        idle();
        break;
      case MPV_EVENT_FILE_LOADED:
        captivo::TraceStep("mpv: file loaded");
        break;
      case MPV_EVENT_START_FILE:
        started =
            started || static_cast<mpv_event_start_file*>(event->data)->playlist_entry_id == entry;
        break;
      case MPV_EVENT_END_FILE:
        failed = static_cast<mpv_event_end_file*>(event->data)->playlist_entry_id == entry;
        break;
      case MPV_EVENT_PLAYBACK_RESTART:
        captivo::TraceStep("mpv: first frame ready");
        playing = started;
        break;
      default:
        other(*event);
        break;
    }
  }
  int image = 0;  // a still picture is no movie
  mpv_get_property(mpv, "current-tracks/video/image", MPV_FORMAT_FLAG, &image);
  return playing && !image;
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

void Player::StartEngine() {
  std::call_once(engineStarted_, [this] {
    captivo::TraceStep("mpv: creating");
    mpv_handle* mpv = mpv_create();
    if (!mpv) return;
    // Whether there is a picture at all needs no toolkit; which surface draws it is
    // chosen on the window's thread.
    const bool picture = !NoVideoOutputWanted();
    ApplyOptions(mpv, picture ? "libmpv" : "null", !picture);
    if (mpv_initialize(mpv) < 0) {
      mpv_terminate_destroy(mpv);
      return;
    }
    mpv_observe_property(mpv, kTimePos, "time-pos", MPV_FORMAT_DOUBLE);
    mpv_observe_property(mpv, kEofReached, "eof-reached", MPV_FORMAT_FLAG);
    mpv_ = mpv;
    ApplySound();
    captivo::TraceStep("mpv: initialised");
  });
}

bool Player::EnsureStarted(QWidget* panel) {
  std::setlocale(LC_NUMERIC, "C");  // libmpv reads numbers the C way
  StartEngine();
  if (!mpv_) return false;
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
    surface_ = CreateVideoSurface(ChosenVideoOutput(), mpv_, panel);
    captivo::TraceStep("picture surface made");
    if (surface_) {
      surfaceWidget_ = surface_->Widget();
      surfaceWidget_->setGeometry(panel->rect());
      surfaceWidget_->show();
    }
  }
  return true;
}

bool Player::Play(const char* path, QWidget* panel) {
  // Only local files, named by an absolute path: anything else would reach mpv's own
  // protocols (lavfi sources, network addresses).
  if (!path || path[0] != '/' || !EnsureStarted(panel)) return false;
  // While a movie is open, a second, muted player without a picture tries the file
  // first, so that one that cannot be played leaves the movie running untouched.
  if (movieOpen_ && !PlaysOnProbe(path)) return false;
  opening_ = true;
  const bool plays = LoadAndWait(
      mpv_, path,
      [this] {
        // The first picture is drawn on this thread: let the surface paint while waiting.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
      },
      [this](const mpv_event& event) { Handle(event); });
  opening_ = false;
  movieOpen_ = plays;
  if (!plays) {
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

bool Player::PlaysOnProbe(const char* path) {
  mpv_handle* probe = mpv_create();
  if (!probe) return false;
  ApplyOptions(probe, "null", true);
  const bool plays = mpv_initialize(probe) >= 0 && LoadAndWait(
                                                       probe, path, [] {}, [](const mpv_event&) {});
  mpv_terminate_destroy(probe);
  return plays;
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
  if (surfaceWidget_ && panel_ && surfaceWidget_->parentWidget() == panel_)
    surfaceWidget_->setGeometry(panel_->rect());
}

void Player::SetFullScreen(bool on) {
  if (!on) {
    if (fullScreen_) fullScreen_->CloseQuietly();
    PutSurfaceInPanel();
    return;
  }
  if (fullScreen_ || !surfaceWidget_ || !panel_) return;
  // On the screen where the program's window is.
  QPointer<QWidget> mainWindow = panel_->window();
  fullScreen_ = new FullScreenWindow(mainWindow->screen(), [this, mainWindow] {
    // Closed by the user: the picture goes back, and the main window is told.
    PutSurfaceInPanel();
    if (mainWindow)
      QCoreApplication::postEvent(mainWindow,
                                  new captivo::WindowMessage(captivo::kFullScreenEnded));
  });
  surfaceWidget_->setFocusPolicy(Qt::NoFocus);
  fullScreen_->SetPicture(surfaceWidget_);
  fullScreen_->showFullScreen();
  fullScreen_->raise();
  fullScreen_->activateWindow();
  fullScreen_->setFocus();
}

QWidget* Player::FullScreenWidget() const {
  return fullScreen_;
}

void Player::SetVolume(int32_t percent) {
  volume_ = std::clamp(percent, 0, 100);
  ApplySound();
}

void Player::SetMuted(bool muted) {
  muted_ = muted;
  ApplySound();
}

void Player::SetAudioTrack(int32_t number) {
  if (!mpv_) return;
  // mpv numbers a file's audio tracks from 1 in the file's order, as the program does.
  const std::string id = number > 0 ? std::to_string(number) : "auto";
  mpv_set_property_string(mpv_, "aid", id.c_str());
}

void Player::ApplySound() {
  // mpv keeps both across the files it loads; the probe player stays silent regardless.
  if (!mpv_) return;
  double volume = volume_;
  int mute = muted_;
  mpv_set_property(mpv_, "volume", MPV_FORMAT_DOUBLE, &volume);
  mpv_set_property(mpv_, "mute", MPV_FORMAT_FLAG, &mute);
}

bool Player::EngineSound(double& volume, bool& muted) const {
  int mute = 0;
  if (!mpv_ || mpv_get_property(mpv_, "volume", MPV_FORMAT_DOUBLE, &volume) < 0 ||
      mpv_get_property(mpv_, "mute", MPV_FORMAT_FLAG, &mute) < 0)
    return false;
  muted = mute != 0;
  return true;
}

std::string Player::EngineProperty(const char* name) const {
  char* value = mpv_ ? mpv_get_property_string(mpv_, name) : nullptr;
  const std::string text = value ? value : "";
  mpv_free(value);
  return text;
}

void Player::PutSurfaceInPanel() {
  if (!surfaceWidget_ || !panel_ || surfaceWidget_->parentWidget() == panel_) return;
  surfaceWidget_->setParent(panel_);
  surfaceWidget_->setGeometry(panel_->rect());
  surfaceWidget_->show();
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
             *static_cast<int*>(property->data) && !endNoticed_ && panel_ &&
             !(surface_ && surface_->SwitchingWindows())) {
    // The movie has ended: the picture leaves full screen, and the main window is told once.
    // (An end while the picture moves between windows is the surface's doing: the movie
    // goes on from where it was.)
    endNoticed_ = true;
    SetFullScreen(false);
    QCoreApplication::postEvent(panel_->window(),
                                new captivo::WindowMessage(captivo::kStopPlayback));
  }
}

}  // namespace movix
