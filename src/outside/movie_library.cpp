#include "movie_library.h"

#include <dlfcn.h>

#include <chrono>
#include <cstdio>
#include <future>
#include <mutex>

#include "movix.h"
#include "start_trace.h"

namespace captivo {

namespace {

// What the movie library needs, each after what it needs in turn (generated at build).
constexpr const char* kLoadOrder[] = {
#include "movie_library_load_order.inc"
};

// The library's functions as loaded; every one is null when the load failed.
struct MovieFunctions {
  decltype(&::PlayFile) PlayFile = nullptr;
  decltype(&::GetFrameRate) GetFrameRate = nullptr;
  decltype(&::GetDur) GetDur = nullptr;
  decltype(&::GetVideoWH) GetVideoWH = nullptr;
  decltype(&::GetPos) GetPos = nullptr;
  decltype(&::SetPos) SetPos = nullptr;
  decltype(&::PlayMovie) PlayMovie = nullptr;
  decltype(&::PauseMovie) PauseMovie = nullptr;
  decltype(&::StopMovie) StopMovie = nullptr;
  decltype(&::SizeChange) SizeChange = nullptr;
  decltype(&::SetFullScreen) SetFullScreen = nullptr;
  decltype(&::GetFullScreenWindow) GetFullScreenWindow = nullptr;
  decltype(&::SetVolume) SetVolume = nullptr;
  decltype(&::SetMute) SetMute = nullptr;
  decltype(&::GraphNotify) GraphNotify = nullptr;
};

template <typename Function>
bool Find(void* library, const char* name, Function& function) {
  function = reinterpret_cast<Function>(dlsym(library, name));
  return function != nullptr;
}

MovieFunctions Load() {
  MovieFunctions f;
  // The loader holds one lock while it loads: a library at a time, and the toolkit's own
  // loads on the window's thread wait for one library at most, not for all of them. One
  // that is not there (the system changed since the build) is loaded below when needed.
  for (const char* name : kLoadOrder) dlopen(name, RTLD_LAZY | RTLD_LOCAL);
  // The build's own copy first, by its path: a sanitizer's dlopen looks through its own
  // run path, not the program's. Else found through the program's run path (installed).
  void* library = dlopen(CAPTIVO_MOVIX_BUILT_AT, RTLD_NOW | RTLD_LOCAL);
  if (!library) library = dlopen("libmovix.so", RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    std::fprintf(stderr, "captivo: cannot load the movie library: %s\n", dlerror());
    return f;
  }
  const bool complete =
      Find(library, "PlayFile", f.PlayFile) && Find(library, "GetFrameRate", f.GetFrameRate) &&
      Find(library, "GetDur", f.GetDur) && Find(library, "GetVideoWH", f.GetVideoWH) &&
      Find(library, "GetPos", f.GetPos) && Find(library, "SetPos", f.SetPos) &&
      Find(library, "PlayMovie", f.PlayMovie) && Find(library, "PauseMovie", f.PauseMovie) &&
      Find(library, "StopMovie", f.StopMovie) && Find(library, "SizeChange", f.SizeChange) &&
      Find(library, "SetFullScreen", f.SetFullScreen) &&
      Find(library, "GetFullScreenWindow", f.GetFullScreenWindow) &&
      Find(library, "SetVolume", f.SetVolume) && Find(library, "SetMute", f.SetMute) &&
      Find(library, "GraphNotify", f.GraphNotify);
  if (!complete) {
    std::fprintf(stderr, "captivo: the movie library lacks functions: %s\n", dlerror());
    return MovieFunctions();
  }
  TraceStep("movie library loaded");
  // Still beside the window's making: the engine started before it is needed.
  decltype(&::PrepareEngine) prepare = nullptr;
  if (Find(library, "PrepareEngine", prepare)) prepare();
  return f;
}

std::once_flag started;
std::shared_future<MovieFunctions> loading;

const MovieFunctions& Library() {
  StartLoadingMovieLibrary();
  return loading.get();
}

}  // namespace

void StartLoadingMovieLibrary() {
  std::call_once(started, [] { loading = std::async(std::launch::async, Load).share(); });
}

bool MovieLibraryLoaded(int milliseconds) {
  StartLoadingMovieLibrary();
  return loading.wait_for(std::chrono::milliseconds(milliseconds)) == std::future_status::ready;
}

}  // namespace captivo

using captivo::Library;

extern "C" {

int PlayFile(const char* path, void* panel) {
  return Library().PlayFile ? Library().PlayFile(path, panel) : 1;
}
void GetFrameRate(int32_t* rate) {
  if (Library().GetFrameRate)
    Library().GetFrameRate(rate);
  else
    *rate = 0;
}
void GetDur(int32_t* frames) {
  if (Library().GetDur)
    Library().GetDur(frames);
  else
    *frames = 0;
}
void GetVideoWH(int32_t* width, int32_t* height) {
  if (Library().GetVideoWH)
    Library().GetVideoWH(width, height);
  else
    *width = *height = 0;
}
void GetPos(int32_t* frame) {
  if (Library().GetPos)
    Library().GetPos(frame);
  else
    *frame = 0;
}
void SetPos(int32_t frame) {
  if (Library().SetPos) Library().SetPos(frame);
}
void PlayMovie(void) {
  if (Library().PlayMovie) Library().PlayMovie();
}
void PauseMovie(void) {
  if (Library().PauseMovie) Library().PauseMovie();
}
void StopMovie(void) {
  if (Library().StopMovie) Library().StopMovie();
}
void SizeChange(void) {
  if (Library().SizeChange) Library().SizeChange();
}
void SetFullScreen(int32_t on) {
  if (Library().SetFullScreen) Library().SetFullScreen(on);
}
void* GetFullScreenWindow(void) {
  return Library().GetFullScreenWindow ? Library().GetFullScreenWindow() : nullptr;
}
void SetVolume(int32_t percent) {
  if (Library().SetVolume) Library().SetVolume(percent);
}
void SetMute(int32_t on) {
  if (Library().SetMute) Library().SetMute(on);
}
void GraphNotify(void) {
  if (Library().GraphNotify) Library().GraphNotify();
}

}  // extern "C"
