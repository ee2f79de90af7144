// The library's functions, as the program calls them.
#include "movix.h"

#include <QWidget>

#include "player.h"

namespace {
movix::Player& player() {
  return movix::Player::Instance();
}
}  // namespace

extern "C" {

void PrepareEngine(void) {
  player().StartEngine();
}
int PlayFile(const char* path, void* panel) {
  return player().Play(path, static_cast<QWidget*>(panel)) ? 0 : 1;
}
void GetFrameRate(int32_t* rate) {
  *rate = player().FrameRateThousandths();
}
void GetDur(int32_t* frames) {
  *frames = player().DurationFrames();
}
void GetVideoWH(int32_t* width, int32_t* height) {
  player().VideoSize(*width, *height);
}
void GetPos(int32_t* frame) {
  *frame = player().PositionFrame();
}
void SetPos(int32_t frame) {
  player().Seek(frame);
}
void PlayMovie(void) {
  player().SetPaused(false);
}
void PauseMovie(void) {
  player().TogglePause();
}
void StopMovie(void) {
  player().Stop();
}
void SizeChange(void) {
  player().FitToPanel();
}
void SetFullScreen(int32_t on) {
  player().SetFullScreen(on != 0);
}
void* GetFullScreenWindow(void) {
  return player().FullScreenWidget();
}
void SetVolume(int32_t percent) {
  player().SetVolume(percent);
}
void SetMute(int32_t on) {
  player().SetMuted(on != 0);
}
void SetAudioTrack(int32_t number) {
  player().SetAudioTrack(number);
}
void GraphNotify(void) {
  player().DrainEvents();
}

}  // extern "C"
