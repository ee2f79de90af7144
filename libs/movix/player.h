#pragma once

#include <QPointer>
#include <QWidget>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

#include "full_screen_window.h"
#include "video_surface.h"

struct mpv_handle;
struct mpv_event;

namespace movix {

// The one player behind the library's functions: an mpv instance, the surface it draws
// on inside the program's panel, and the values its events last reported. Every getter
// answers from those values; nothing a clock tick calls waits on mpv.
class Player {
 public:
  static Player& Instance();
  ~Player();

  // Creates and starts mpv, once; from any thread, before anything else is asked.
  void StartEngine();
  bool Play(const char* path, QWidget* panel);
  int32_t FrameRateThousandths() const;
  int32_t DurationFrames() const;
  void VideoSize(int32_t& width, int32_t& height) const;
  int32_t PositionFrame() const;
  void Seek(int32_t frame);
  void SetPaused(bool paused);
  void TogglePause();
  void Stop();
  void FitToPanel();
  void SetFullScreen(bool on);
  // The full-screen window while full screen is on, else nullptr.
  QWidget* FullScreenWidget() const;
  // The sound level (clamped to 0..100) and muting, kept for every movie from now on.
  void SetVolume(int32_t percent);
  void SetMuted(bool muted);
  // The audio track's place among the file's audio tracks, from 1; 0: the engine's choice.
  void SetAudioTrack(int32_t number);
  // The level and muting the engine plays at, as it reports them; false without an engine.
  bool EngineSound(double& volume, bool& muted) const;
  // A property of the engine as the engine reports it, as text ("track-list/2/selected"
  // gives "yes" or "no"); empty without an engine or such a property.
  std::string EngineProperty(const char* name) const;
  void DrainEvents();

 private:
  Player() = default;
  bool EnsureStarted(QWidget* panel);
  // Whether `path` plays, tried on a second player that shows and sounds nothing.
  static bool PlaysOnProbe(const char* path);
  void Handle(const mpv_event& event);
  void ReadOpenedFile();
  // Brings the picture back into the panel, from wherever it is.
  void PutSurfaceInPanel();
  // Hands the kept level and muting to the engine, when there is one.
  void ApplySound();
  static void Wakeup(void* player);

  std::once_flag engineStarted_;
  mpv_handle* mpv_ = nullptr;
  QPointer<QWidget> panel_;
  // The surface is a child of the panel and goes with it.
  QPointer<QWidget> surfaceWidget_;
  QPointer<movix::FullScreenWindow> fullScreen_;
  VideoSurface* surface_ = nullptr;
  // Where mpv's thread posts its wakeups; cleared before the panel goes.
  std::atomic<QObject*> eventTarget_{nullptr};
  std::atomic<bool> wakeupPosted_{false};
  bool opening_ = false;  // Play reads the events itself

  bool movieOpen_ = false;  // the last open succeeded: a movie is loaded
  double frameRate_ = 0;
  double duration_ = 0;
  double timePos_ = 0;
  int32_t width_ = 0, height_ = 0;
  bool endNoticed_ = false;  // the end of this file was reported to the main window
  int32_t volume_ = 100;
  bool muted_ = false;
};

}  // namespace movix
