#include "fake_movix.h"

#include "hook.h"
#include "movix.h"

namespace captivo::test {

FakeMovix& Movix() {
  static FakeMovix movix;
  return movix;
}

std::vector<std::string> FakeMovix::Take() {
  std::vector<std::string> taken;
  taken.swap(calls);
  return taken;
}

}  // namespace captivo::test

#include "movie_library.h"

using captivo::test::Movix;

// The fake is there from the start.
namespace captivo {
void StartLoadingMovieLibrary() {}
bool MovieLibraryLoaded(int) {
  return true;
}
}  // namespace captivo

extern "C" {

void PrepareEngine(void) {
  Movix().calls.push_back("PrepareEngine");
}
int PlayFile(const char* path, void* panel) {
  Movix().calls.push_back(std::string("PlayFile ") + path);
  Movix().panel = panel;
  return Movix().playResult;
}
void GetFrameRate(int32_t* rate) {
  Movix().calls.push_back("GetFrameRate");
  *rate = Movix().frameRate;
}
void GetDur(int32_t* frames) {
  Movix().calls.push_back("GetDur");
  *frames = Movix().duration;
}
void GetVideoWH(int32_t* width, int32_t* height) {
  Movix().calls.push_back("GetVideoWH");
  *width = Movix().width;
  *height = Movix().height;
}
void GetPos(int32_t* frame) {
  *frame = Movix().position;
}
void SetPos(int32_t frame) {
  Movix().calls.push_back("SetPos " + std::to_string(frame));
}
void PlayMovie(void) {
  Movix().calls.push_back("PlayMovie");
}
void PauseMovie(void) {
  Movix().calls.push_back("PauseMovie");
}
void StopMovie(void) {
  Movix().calls.push_back("StopMovie");
}
void SizeChange(void) {
  Movix().calls.push_back("SizeChange");
}
void SetFullScreen(int32_t on) {
  Movix().calls.push_back("SetFullScreen " + std::to_string(on));
}
void* GetFullScreenWindow(void) {
  return Movix().fullScreenWindow;
}
void SetVolume(int32_t percent) {
  Movix().calls.push_back("SetVolume " + std::to_string(percent));
}
void SetMute(int32_t on) {
  Movix().calls.push_back("SetMute " + std::to_string(on));
}
void SetAudioTrack(int32_t number) {
  Movix().calls.push_back("SetAudioTrack " + std::to_string(number));
}
void GraphNotify(void) {
  Movix().calls.push_back("GraphNotify");
}

}  // extern "C"

// The hook library, recorded with the movie library's calls.
extern "C" {
void SetHook(void) {
  captivo::test::Movix().calls.push_back("SetHook");
}
void FreeHook(void) {
  captivo::test::Movix().calls.push_back("FreeHook");
}
}
