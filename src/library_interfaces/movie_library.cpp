#include "movie_library.h"

#include <chrono>
#include <cstdio>
#include <future>
#include <mutex>

#include "loaded_functions.h"
#include "movix.h"
#include "start_trace.h"

namespace captivo {

namespace {

// What the movie library needs, each after what it needs in turn (generated at build).
constexpr const char* kLoadOrder[] = {
#include "movie_library_load_order.inc"
};

// Every function of the movie library (movix.h) the program calls: its name, result,
// parameters, the arguments that pass them on, and its result when the library could not
// be loaded (PlayFile refuses every file; the others do nothing).
#define CAPTIVO_MOVIE_FUNCTIONS(X)                                                  \
  X(PlayFile, int, (const char* path, void* panel), (path, panel), 1)               \
  X(GetFrameRate, void, (int32_t * rate), (rate), void())                           \
  X(GetDur, void, (int32_t * frames), (frames), void())                             \
  X(GetVideoWH, void, (int32_t * width, int32_t * height), (width, height), void()) \
  X(GetPos, void, (int32_t * frame), (frame), void())                               \
  X(SetPos, void, (int32_t frame), (frame), void())                                 \
  X(PlayMovie, void, (void), (), void())                                            \
  X(PauseMovie, void, (void), (), void())                                           \
  X(StopMovie, void, (void), (), void())                                            \
  X(SizeChange, void, (void), (), void())                                           \
  X(SetFullScreen, void, (int32_t on), (on), void())                                \
  X(GetFullScreenWindow, void*, (void), (), nullptr)                                \
  X(SetVolume, void, (int32_t percent), (percent), void())                          \
  X(SetMute, void, (int32_t on), (on), void())                                      \
  X(SetAudioTrack, void, (int32_t number), (number), void())                        \
  X(GraphNotify, void, (void), (), void())

// The library's functions as loaded; every one is null when the load failed.
struct MovieFunctions {
  CAPTIVO_MOVIE_FUNCTIONS(CAPTIVO_FUNCTION_FIELD)
};

MovieFunctions Load() {
  MovieFunctions table;
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
    return table;
  }
  const bool complete = true CAPTIVO_MOVIE_FUNCTIONS(CAPTIVO_FUNCTION_FIND);
  if (!complete) {
    std::fprintf(stderr, "captivo: the movie library lacks functions: %s\n", dlerror());
    return MovieFunctions();
  }
  TraceStep("movie library loaded");
  // Still beside the window's making: the engine started before it is needed.
  decltype(&::PrepareEngine) prepare = nullptr;
  if (FindFunction(library, "PrepareEngine", prepare)) prepare();
  return table;
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
CAPTIVO_MOVIE_FUNCTIONS(CAPTIVO_FUNCTION_CALL)
}  // extern "C"
