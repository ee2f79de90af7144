#include "tracks_library.h"

#include <dlfcn.h>

#include <cstdio>
#include <mutex>

#include "tracks.h"

namespace captivo {

namespace {

// The library's functions as loaded; every one is null when the load failed.
struct TracksFunctions {
  decltype(&::OpenTrackList) OpenTrackList = nullptr;
  decltype(&::TrackCount) TrackCount = nullptr;
  decltype(&::TrackAt) TrackAt = nullptr;
  decltype(&::CloseTrackList) CloseTrackList = nullptr;
  decltype(&::OpenTrackReader) OpenTrackReader = nullptr;
  decltype(&::CloseTrackReader) CloseTrackReader = nullptr;
  decltype(&::ReadTrackFromTime) ReadTrackFromTime = nullptr;
  decltype(&::GetTrackProgress) GetTrackProgress = nullptr;
  decltype(&::GetTrackTexts) GetTrackTexts = nullptr;
  decltype(&::GetTrackPictureAt) GetTrackPictureAt = nullptr;
  decltype(&::GetTrackPicture) GetTrackPicture = nullptr;
};

template <typename Function>
bool Find(void* library, const char* name, Function& function) {
  function = reinterpret_cast<Function>(dlsym(library, name));
  return function != nullptr;
}

TracksFunctions Load() {
  TracksFunctions f;
  // The build's own copy first, by its path; else found through the run path (installed).
  void* library = dlopen(CAPTIVO_TRACKS_BUILT_AT, RTLD_NOW | RTLD_LOCAL);
  if (!library) library = dlopen("libtracks.so", RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    std::fprintf(stderr, "captivo: cannot load the tracks library: %s\n", dlerror());
    return f;
  }
  const bool complete = Find(library, "OpenTrackList", f.OpenTrackList) &&
                        Find(library, "TrackCount", f.TrackCount) &&
                        Find(library, "TrackAt", f.TrackAt) &&
                        Find(library, "CloseTrackList", f.CloseTrackList) &&
                        Find(library, "OpenTrackReader", f.OpenTrackReader) &&
                        Find(library, "CloseTrackReader", f.CloseTrackReader) &&
                        Find(library, "ReadTrackFromTime", f.ReadTrackFromTime) &&
                        Find(library, "GetTrackProgress", f.GetTrackProgress) &&
                        Find(library, "GetTrackTexts", f.GetTrackTexts) &&
                        Find(library, "GetTrackPictureAt", f.GetTrackPictureAt) &&
                        Find(library, "GetTrackPicture", f.GetTrackPicture);
  if (!complete) {
    std::fprintf(stderr, "captivo: the tracks library lacks functions: %s\n", dlerror());
    return TracksFunctions();
  }
  return f;
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

using captivo::Library;

extern "C" {

TrackList* OpenTrackList(const char* path) {
  return Library().OpenTrackList ? Library().OpenTrackList(path) : nullptr;
}
int32_t TrackCount(const TrackList* list) {
  return list ? Library().TrackCount(list) : 0;
}
const TrackInfo* TrackAt(const TrackList* list, int32_t position) {
  return list ? Library().TrackAt(list, position) : nullptr;
}
void CloseTrackList(TrackList* list) {
  if (list) Library().CloseTrackList(list);
}
TrackReader* OpenTrackReader(const char* path, int32_t index) {
  return Library().OpenTrackReader ? Library().OpenTrackReader(path, index) : nullptr;
}
void CloseTrackReader(TrackReader* reader) {
  if (reader) Library().CloseTrackReader(reader);
}
void ReadTrackFromTime(TrackReader* reader, int64_t milliseconds) {
  if (reader) Library().ReadTrackFromTime(reader, milliseconds);
}
void GetTrackProgress(TrackReader* reader, TrackProgress* progress) {
  if (reader) {
    Library().GetTrackProgress(reader, progress);
  } else if (progress) {
    *progress = TrackProgress{};
    progress->state = kTrackFailed;
  }
}
int64_t GetTrackTexts(TrackReader* reader, int64_t first, TrackTextSink sink, void* context) {
  return reader ? Library().GetTrackTexts(reader, first, sink, context) : 0;
}
int32_t GetTrackPictureAt(TrackReader* reader, int64_t milliseconds, TrackPicture* picture) {
  return reader ? Library().GetTrackPictureAt(reader, milliseconds, picture) : 0;
}
int32_t GetTrackPicture(TrackReader* reader, int64_t number, TrackPicture* picture) {
  return reader ? Library().GetTrackPicture(reader, number, picture) : -1;
}

}  // extern "C"
