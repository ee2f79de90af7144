#include "tracks_library.h"

#include <cstdio>
#include <mutex>

#include "loaded_functions.h"
#include "tracks.h"

namespace captivo {

namespace {

// A reader's progress when the library could not be loaded: it failed.
void FailedProgress(TrackProgress* progress) {
  if (!progress) return;
  *progress = TrackProgress{};
  progress->state = kTrackFailed;
}

// Every function of the tracks library (tracks.h): its name, result, parameters, the
// arguments that pass them on, and its result when the library could not be loaded.
#define CAPTIVO_TRACKS_FUNCTIONS(X)                                                                \
  X(OpenTrackList, TrackList*, (const char* path), (path), nullptr)                                \
  X(TrackCount, int32_t, (const TrackList* list), (list), 0)                                       \
  X(TrackAt, const TrackInfo*, (const TrackList* list, int32_t position), (list, position),        \
    nullptr)                                                                                       \
  X(CloseTrackList, void, (TrackList * list), (list), void())                                      \
  X(OpenTrackReader, TrackReader*, (const char* path, int32_t index), (path, index), nullptr)      \
  X(CloseTrackReader, void, (TrackReader * reader), (reader), void())                              \
  X(ReadTrackFromTime, void, (TrackReader * reader, int64_t milliseconds), (reader, milliseconds), \
    void())                                                                                        \
  X(GetTrackProgress, void, (TrackReader * reader, TrackProgress * progress), (reader, progress),  \
    FailedProgress(progress))                                                                      \
  X(GetTrackTexts, int64_t,                                                                        \
    (TrackReader * reader, int64_t first, TrackTextSink sink, void* context),                      \
    (reader, first, sink, context), 0)                                                             \
  X(GetTrackPictureAt, int32_t,                                                                    \
    (TrackReader * reader, int64_t milliseconds, TrackPicture * picture),                          \
    (reader, milliseconds, picture), 0)                                                            \
  X(GetTrackPicture, int32_t, (TrackReader * reader, int64_t number, TrackPicture * picture),      \
    (reader, number, picture), -1)

// The library's functions as loaded; every one is null when the load failed.
struct TracksFunctions {
  CAPTIVO_TRACKS_FUNCTIONS(CAPTIVO_FUNCTION_FIELD)
};

TracksFunctions Load() {
  TracksFunctions table;
  // The build's own copy first, by its path; else found through the run path (installed).
  void* library = dlopen(CAPTIVO_TRACKS_BUILT_AT, RTLD_NOW | RTLD_LOCAL);
  if (!library) library = dlopen("libtracks.so", RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    std::fprintf(stderr, "captivo: cannot load the tracks library: %s\n", dlerror());
    return table;
  }
  const bool complete = true CAPTIVO_TRACKS_FUNCTIONS(CAPTIVO_FUNCTION_FIND);
  if (!complete) {
    std::fprintf(stderr, "captivo: the tracks library lacks functions: %s\n", dlerror());
    return TracksFunctions();
  }
  return table;
}

const TracksFunctions& Library() {
  static const TracksFunctions functions = Load();  // once, other threads waiting
  return functions;
}

}  // namespace

bool LoadTracksLibrary() {
  return Library().OpenTrackList != nullptr;
}

}  // namespace captivo

using captivo::FailedProgress;
using captivo::Library;

extern "C" {
CAPTIVO_TRACKS_FUNCTIONS(CAPTIVO_FUNCTION_CALL)
}  // extern "C"
